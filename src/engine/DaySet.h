// The backup set of one day: the folders the run walked, one per line in
// <day folder>/backupset.txt, written just before the day's list. A restore
// or a check of that day takes a record as the day's own only when its path
// lies in one of these folders, so a list that names a place the run never
// walked (damaged, or made elsewhere) restores nothing there. Days written
// before this file existed carry none: their records are checked without it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

inline constexpr const char* kDaySetName = "backupset.txt";

// The start of a line that notes the file system a folder was on:
// "fs=<id in decimal>" TAB "<folder>". Not a path, so a reader that knows
// only folder lines takes nothing from it.
inline constexpr const char* kFileSystemNote = "fs=";

// Writes the set of `dayFolder`, each folder followed by CR LF, through a
// temporary file renamed into place; after them, one note line for each
// folder whose file system's id is in `fileSystems`: the next run tells an
// unmounted disk from an emptied folder by it. Failed, with the reason, when
// the disk refused.
FsStatus WriteDaySet(FileSystem& fs, const StoreLayout& layout, const std::string& dayFolder,
                     const std::vector<std::string>& folders,
                     const std::map<std::string, uint64_t>& fileSystems = {});

// The set a day recorded. A day without a set file (made before it existed)
// holds every path; a set file that cannot be read holds none, and a line
// that is no absolute path in normal form holds nothing.
struct DaySet {
  bool recorded = false;             // the day carries a set file
  std::vector<std::string> folders;  // empty when it could not be trusted
  // The id of the file system each folder was on, where the day noted it.
  std::map<std::string, uint64_t> fileSystems;
  // True when `path` lies in one of the folders, or when the day recorded
  // no set at all.
  bool Holds(const PathRules& rules, const std::string& path) const;
};
DaySet ReadDaySet(FileSystem& fs, const StoreLayout& layout, const std::string& dayFolder);

}  // namespace varnoket
