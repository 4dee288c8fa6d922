// Checks a backup day without restoring it: every file record's stored copy
// is found as a restore would find it, decoded whole, and its size and
// checksum compared with the record.
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
// is one problem.
VerifyCounts VerifyDay(FileSystem& fs, const StoreLayout& layout,
                       const std::vector<std::string>& dayFolders, size_t dayIndex,
                       RestoreHost& host);

}  // namespace varnoket
