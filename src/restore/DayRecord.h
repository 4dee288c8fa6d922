// One file's record in one day's list, as a restore entry: what a restore of
// that day's version of the file needs (stored name, attributes, date and
// recorded content), read without loading the whole list.
#pragma once

#include <optional>
#include <string>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "restore/RestoreItem.h"

namespace varnoket {

// The file record of `fullPath` in the day `dayFolder`; nullopt when the
// list cannot be read, records no such file (only a folder, or nothing), or
// its record is marked as not offered for restore or does not parse.
std::optional<RestoreEntry> DayFileRecord(FileSystem& fs, const StoreLayout& layout,
                                          const std::string& dayFolder,
                                          const std::string& fullPath);

}  // namespace varnoket
