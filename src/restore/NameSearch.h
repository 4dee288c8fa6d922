// Finding files by name in the store: the file records whose name (the last
// component of the path) matches a pattern with `*` (any run) and `?` (one
// character), without regard to the case of ASCII letters. `[set]` works as
// in the exclusion filters. Searched in one day, or in every kept day, where
// a file deleted since is found in the latest day that records it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

struct FoundFile {
  std::string fullPath;
  std::string dayFolder;  // the day whose record is given (ddmmyyyy)
  int32_t size = 0;       // the size field as the list keeps it
  int32_t fileDate = 0;   // packed DOS date
};

struct NameSearchResult {
  std::vector<FoundFile> files;  // in ordinal order of their paths
  std::vector<std::string> unreadableDays;
};

// The files of one day whose name matches; nullopt when its list cannot be
// read.
std::optional<std::vector<FoundFile>> FindFilesInDay(FileSystem& fs, const StoreLayout& layout,
                                                     const std::string& dayFolder,
                                                     const std::string& pattern);

// The files of every day in `dayFolders` (oldest first) whose name matches,
// each path once, with the latest day that records it as a file.
NameSearchResult FindFilesInAllDays(FileSystem& fs, const StoreLayout& layout,
                                    const std::vector<std::string>& dayFolders,
                                    const std::string& pattern);

}  // namespace varnoket
