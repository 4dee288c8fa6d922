// Finding the stored copy of a record, as every restore finds it: in the
// chosen day's folder, else in each older day's folder, newest first. Later
// days are never looked at. An older day may hold an older content under
// the same name: a restore takes the first copy that proves to be the
// recorded content (ProvenCopy.h), not merely the first one found.
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

// Every copy of `storedName` from the chosen day back to the oldest, newest
// first; empty when there is none (or the name would leave a day folder).
std::vector<std::string> StoredCopyCandidates(FileSystem& fs, const StoreLayout& layout,
                                              const std::vector<std::string>& dayFolders,
                                              size_t dayIndex, const std::string& storedName);

}  // namespace varnoket
