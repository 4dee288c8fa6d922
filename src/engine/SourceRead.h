// The scan's read of one source file: its digest, date and attributes as
// they were when it was read whole. A file whose size, modification or
// change time moved while it was read was read torn (part old, part new): it
// is read again, up to three times, and then taken as changed, for the copy
// step's own read (which never stores a torn copy) to settle. A file that
// cannot be read says why (access refused, or the system's reason) and is
// counted as left out (LeftOut.h).
//
// The read itself touches only the file system and the file, so that it can
// run on a worker (SourceReadPool.h); what the host sees (the log line, the
// count of what was left out, the message pump) stays with the caller.
#pragma once

#include <functional>
#include <vector>

#include "engine/BackupContext.h"
#include "engine/ContentDigest.h"
#include "engine/SourceScan.h"

namespace varnoket {

// How many times a file that changes while it is read is read.
inline constexpr int kReadAttempts = 3;

// The bytes read at once: a whole number of checksum blocks.
inline constexpr size_t kReadChunk = 256 * 1024;

// How one file's read ended.
struct SourceReadOutcome {
  bool readable = false;
  int systemError = 0;  // why it could not be read; 0 when the system gave no reason
};

// Reads `file` whole into its digest (`withHash`: with the strong hash) and
// sets its date, attributes and readable flag. `afterBlock` runs after each
// block read and may throw to end the read part way. Safe to call from
// several threads at once, on distinct files and buffers, when `fs` is.
SourceReadOutcome ReadSourceBytes(FileSystem& fs, ScannedFile& file, bool withHash,
                                  std::vector<char>& buffer, DigestBuilder& digest,
                                  const std::function<void()>& afterBlock);

// Logs a file that could not be read and counts it as left out.
void ReportUnreadable(BackupContext& ctx, const ScannedFile& file, int systemError);

// The read on the caller's thread, the message pump running after each block.
// False, with its log line, when the file cannot be read.
bool ReadSourceFile(BackupContext& ctx, ScannedFile& file, bool withHash, std::vector<char>& buffer,
                    DigestBuilder& digest);

// Whether two looks at one file saw the same file: same size, modification
// and change times.
bool SameStamp(const DirEntry& a, const DirEntry& b);

}  // namespace varnoket
