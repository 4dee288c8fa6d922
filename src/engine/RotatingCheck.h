// Old copies decoded in rotation. A run checks the copies it writes; a copy
// that rots on the disk later would be found only on the day of the
// restore. So each run, after its own work, decodes a slice of the copies
// the older days hold, in the order of the days and of their lists, and
// remembers where it stopped (RotationState.h): every copy is decoded once
// in each pass, and a pass takes about as many runs as the period says. A
// damaged copy is noted for the next run to store its file again, as the
// check of new copies does, and the days that rely on it are named.
#pragma once

#include <chrono>
#include <cstdint>

#include "engine/BackupContext.h"

namespace varnoket {

struct RotationLimits {
  // Each slice decodes 1/periodDays of the bytes the pass covers; 0: none.
  int periodDays = 30;
  // A slice ends at this time even short of its bytes: the rest waits for
  // the next run.
  std::chrono::milliseconds time{std::chrono::minutes(10)};
};

struct RotationSlice {
  size_t copies = 0;      // copies decoded
  uint64_t bytes = 0;     // their stored bytes
  size_t damaged = 0;     // damaged or holding other bytes: noted for the next run
  size_t unreadable = 0;  // could not be read (lists included): said, not noted
  bool passEnded = false;
  bool stopped = false;  // the program ends, or the time ran out
};

// Decodes the next slice of the copies of the days before `today`, writing
// to the log and the error window through `ctx` (whose run must hold the
// station). Never throws RunStopped: a stop ends the slice where it is.
RotationSlice CheckOldCopiesSlice(BackupContext& ctx, const Day& today,
                                  const RotationLimits& limits);

}  // namespace varnoket
