// Which stored copies the backup days hold, to check before a run keeps the
// stored name of an unchanged file that its copy is still there: a copy
// deleted by hand, lost with its day folder or cut short would otherwise be
// kept in every later list, and the file could never be restored again.
//
// One walk of the day folders makes it, not a look per file and day: a
// station of many thousand files and thirty days costs one listing of each
// folder of the store, and 16 bytes per stored name (whatever the number of
// days that hold it) beside those of the largest day.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

// The smallest file that can be a stored copy: the bzip2 stream of nothing.
inline constexpr uint64_t kSmallestStoredCopy = 14;

class StoredCopies {
 public:
  // Walks every backup day of the station up to `lastDay` (a day folder's
  // name, itself included) once. A folder that cannot be listed holds
  // nothing as far as the run knows. `pump` is called now and then.
  static StoredCopies Find(FileSystem& fs, const StoreLayout& layout, const std::string& lastDay,
                           const std::function<void()>& pump = {});

  // The name of the newest day folder that holds `storedName` as a regular
  // file of at least kSmallestStoredCopy bytes (where a restore of
  // `lastDay` finds it), or nullptr when none does.
  const std::string* NewestDayOf(std::string_view storedName) const;

 private:
  std::vector<std::string> days_;                      // oldest first
  std::vector<std::pair<uint64_t, uint32_t>> newest_;  // name's hash -> day, by hash
};

// The 64-bit hash the run's lookups of stored names use (FNV-1a).
uint64_t StoredNameHash(std::string_view text);

}  // namespace varnoket
