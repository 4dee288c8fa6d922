// The scan's read of one source file: its digest, date and attributes as
// they were when it was read whole. A file whose size, modification or
// change time moved while it was read was read torn (part old, part new): it
// is read again, up to three times, and then taken as changed, for the copy
// step's own read (which never stores a torn copy) to settle. A file that
// cannot be read says why (access refused, or the system's reason) and is
// counted as left out (LeftOut.h).
#pragma once

#include <vector>

#include "engine/BackupContext.h"
#include "engine/ContentDigest.h"
#include "engine/SourceScan.h"

namespace varnoket {

// How many times a file that changes while it is read is read.
inline constexpr int kReadAttempts = 3;

// Reads `file` whole into its digest (`withHash`: with the strong hash).
// False, with its log line, when it cannot be read.
bool ReadSourceFile(BackupContext& ctx, ScannedFile& file, bool withHash, std::vector<char>& buffer,
                    DigestBuilder& digest);

// Whether two looks at one file saw the same file: same size, modification
// and change times.
bool SameStamp(const DirEntry& a, const DirEntry& b);

}  // namespace varnoket
