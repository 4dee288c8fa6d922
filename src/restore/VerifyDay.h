// Checks a backup day without restoring it: every file record's stored copy
// is found as a restore would find it, decoded whole, and its size and
// checksum compared with the record. The copies are decoded on a pool of
// workers; the report keeps the order of the list.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "restore/RestoreHost.h"

namespace varnoket {

struct VerifyCounts {
  size_t checked = 0;   // file records looked at
  size_t problems = 0;  // lines written to the report
};

// One report line to `host` per problem: a missing, damaged, truncated or different
// stored copy, or a line of the list that is no record. An unreadable list
// is one problem. `workers` copies are decoded at once (0: one per core);
// `host` is called from the caller's thread only, its pump while waiting.
VerifyCounts VerifyDay(FileSystem& fs, const StoreLayout& layout,
                       const std::vector<std::string>& dayFolders, size_t dayIndex,
                       RestoreHost& host, unsigned workers = 0);

}  // namespace varnoket
