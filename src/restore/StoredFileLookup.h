// Finding the stored copy of a record, as every restore finds it: in the
// chosen day's folder, else in each older day's folder, newest first. Later
// days are never looked at.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

// `dayFolders` are the backup days' folder names, oldest first; `dayIndex`
// the chosen one. A stored name that would leave the day folder (absolute,
// or climbing with "..") is never looked up.
std::optional<std::string> FindStoredFile(FileSystem& fs, const StoreLayout& layout,
                                          const std::vector<std::string>& dayFolders,
                                          size_t dayIndex, const std::string& storedName);

}  // namespace varnoket
