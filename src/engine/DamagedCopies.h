// The station's list of stored copies found damaged (DAMAGED.TXT), so that
// the next run stores their files again. A check that decodes the copies
// records each bad one here; a backup run reads the list and, for every
// unchanged file whose copy is listed, stores the file again instead of
// keeping a name that no longer restores it.
//
//   <station>/DAMAGED.TXT   "ddmmyyyy|StoredName" CR LF per copy
//
// The file is outside input: a line that does not parse is ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

inline constexpr const char* kDamagedCopiesName = "DAMAGED.TXT";

// Records that the copy `storedName` of the day folder `dayFolder` (its
// name, "07032006", or its full path in `layout`'s station) is damaged: one
// line appended in a single write, the file created when missing. False,
// writing nothing, when the day or the name is not one a list may hold, or
// when the disk refused.
bool RecordDamagedCopy(FileSystem& fs, const StoreLayout& layout, const std::string& dayFolder,
                       const std::string& storedName);

class DamagedCopies {
 public:
  // The copies the station's file lists; none when there is no such file.
  static DamagedCopies Read(FileSystem& fs, const StoreLayout& layout);

  // Whether the copy `storedName` of the day folder named `day` is listed.
  bool Lists(std::string_view day, std::string_view storedName) const;
  bool empty() const { return listed_.empty(); }

 private:
  std::vector<uint64_t> listed_;  // hashes of "day|name", sorted
};

// Keeps only the lines of the station's file whose day folder is one of
// `days` (the backup days), dropping those that do not parse; the file goes
// when nothing is left. Writes only when something changes; false when a
// write was refused (the file is then as it was).
bool PruneDamagedCopies(FileSystem& fs, const StoreLayout& layout,
                        const std::vector<std::string>& days);

}  // namespace varnoket
