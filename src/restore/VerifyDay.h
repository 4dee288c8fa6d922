// Checks a backup day without restoring it: its list is read as outside
// input (CheckedList.h), and every file record's stored copy is looked for
// as a restore looks for it and decoded whole: the record is sound when a
// copy proves to be the recorded content (ProvenCopy.h), as a restore would
// take it. The copies are decoded on a pool of workers; the report keeps
// the order of the list.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "restore/RestoreHost.h"

namespace varnoket {

struct VerifyCounts {
  bool listRead = false;  // the day's list could be read
  size_t checked = 0;     // file records looked at
  size_t copies = 0;      // stored copies decoded
  size_t problems = 0;    // lines written to the report
  // The copies that a record's lookup met first and that are damaged, cut
  // or hold another content: (day folder name, stored name).
  std::vector<std::pair<std::string, std::string>> badCopies;
};

// One report line to `host` per problem: a missing, damaged, truncated or
// different stored copy, or a line of the list that is no sound record. An
// unreadable list is one problem. `workers` copies are decoded at once (0:
// one per core); `host` is called from the caller's thread only, its pump
// while waiting.
VerifyCounts VerifyDay(FileSystem& fs, const StoreLayout& layout,
                       const std::vector<std::string>& dayFolders, size_t dayIndex,
                       RestoreHost& host, unsigned workers = 0);

}  // namespace varnoket
