// The change test's read of every file of the backup set, spread over a pool
// of workers so that a run in which nothing changed goes at the speed of the
// disk, not of one core.
//
// The files are handed out in chunks (a few hundred small files, or a few
// megabytes) so that a small file does not cost a job of its own. A worker
// touches only the file system and the files of its chunk; everything the
// host sees (the log line of a file that cannot be read, the count of what
// was left out, the message pump) stays on the caller's thread, chunk after
// chunk in the files' order, so that a run says the same whatever the number
// of workers. Memory stays flat: one read buffer per worker, and a bounded
// number of chunks in flight, each holding only its files' failures.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "engine/BackupContext.h"
#include "engine/SourceScan.h"

namespace varnoket {

// Reads every file of `files`, in order as far as the host can tell, as
// ReadSourceFile does. `withHash(size)` tells whether a file of the size
// the walk found needs the strong hash; it is called from the workers.
// ctx.fs is called from the workers too (OpenRead, StatStream and the reads
// of its streams). With one worker (ctx.workers), the files are read on the
// caller's thread, the pump running after each block.
//
// Throws RunStopped from the pump; no worker touches `files` once it has
// left.
void ReadSourceFiles(BackupContext& ctx, std::deque<ScannedFile>& files,
                     const std::function<bool(int64_t)>& withHash);

}  // namespace varnoket
