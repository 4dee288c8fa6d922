// The backup days of a station and the merge that bounds their number.
// A backup day is a station subfolder (not a link) named by 8 digits
// (ddmmyyyy) that holds a filelist.txt; its day key is yyyymmdd followed by
// the folder name, so that keys sort in date order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/BackupContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace varnoket {

// "2006030707032006" for the folder "07032006"; "" for a name that is no day.
std::string DayKey(const std::string& folderName);
// Characters 9 to 16 of a key: the folder name.
std::string FolderOfKey(const std::string& key);
// "07/03/2006" for a key of 7 March 2006.
std::string DayTextOfKey(const std::string& key);

// Adds the key of every backup day in `stationFolder` to `keys` (unsorted;
// the caller sorts). A missing folder adds nothing.
void ListDayFolders(FileSystem& fs, const PathRules& rules, const std::string& stationFolder,
                    std::vector<std::string>& keys, const std::function<void()>& pump = {});
// Bytes of the regular files at and below `folder`; links are not followed
// and a folder that cannot be listed counts nothing.
uint64_t FolderBytes(FileSystem& fs, const PathRules& rules, const std::string& folder);
// The backup days' folder names, oldest first.
std::vector<std::string> SortedDayFolders(FileSystem& fs, const PathRules& rules,
                                          const std::string& stationFolder);

enum class MergeMode {
  // Files of the source replace those of the destination; the source is
  // emptied and removed. A file that cannot be moved stays in the source,
  // which then stays too.
  kMoveReplacing,
};

// Merges the tree `source` into the tree `destination`. Asserts that neither
// path is empty.
bool MergeDirectories(FileSystem& fs, const PathRules& rules, const std::string& destination,
                      const std::string& source, MergeMode mode,
                      const std::function<void()>& pump = {});

// Gives `destination` a second name (or a copy) of every file of the tree
// `source` whose path relative to `source` is one of `wanted` and that
// `destination` lacks; the source is left as it is. Folders are made only
// for the files shared into them. False on the first failure. Asserts that
// neither path is empty.
bool ShareWantedFiles(FileSystem& fs, const PathRules& rules, const std::string& destination,
                      const std::string& source, const std::unordered_set<std::string>& wanted,
                      const std::function<void()>& pump = {});

// Deletes a whole tree; false when something stayed.
bool RemoveTree(FileSystem& fs, const PathRules& rules, const std::string& path);

// When the station holds `daysKept` backup days or more, today's not
// counted (a second run the same day adds no day), merges the two oldest
// into one that bears the newer one's name and file list. The newer
// day gains only the stored files of the older one that a kept day (the
// newer day, every later one, and the list the run is making) names; the
// others go with the older folder. A kept day's list that cannot be read
// stops the merge. Never throws; at most one merge per call.
void ConsolidateDayFolders(BackupContext& ctx);

}  // namespace varnoket
