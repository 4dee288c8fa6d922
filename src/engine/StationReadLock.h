// Readers and the writer share a station safely. A restore or a check reads
// stored copies that the station's writer may delete when it merges the two
// oldest days; so readers hold a shared lock on one byte of the station's
// lock file (kReaderLockByte), and the writer takes that byte alone, without
// waiting, only for as long as it deletes copies. A reader never stops a
// backup: the run goes on and leaves the merge to a later run. The writer's
// own lock (kWriterLockByte) is another byte, so a run in progress stops no
// reader.
//
// Where the store's file system takes no lock, the station's stand-in lock
// file of this machine carries the same bytes (LocalStandInLockPath): readers
// and the writer of this machine still see each other.
#pragma once

#include <memory>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

enum class ReadLockStatus {
  kHeld,  // copies stay until the lock is released: no merge deletes any
  kBusy,  // without waiting: a merge is deleting copies now; nothing is held
  // No lock was needed or possible: no station folder, a read-only store
  // without a lock file, a file system that takes no lock anywhere, or a
  // lock file that cannot be opened. The reader goes on without one.
  kNone,
};

struct StationReadLock {
  ReadLockStatus status = ReadLockStatus::kNone;
  std::unique_ptr<FileLock> held;
  // The lock is this machine's stand-in: the store's file system takes no
  // lock, so another machine's writer does not see it.
  bool local = false;
};

// Takes the shared read lock of `layout`'s station. The lock file is opened
// for reading when it exists, and created only when it is missing and the
// folder takes it. With `wait`, blocks while a merge deletes copies;
// without, answers kBusy then. Held until the returned object goes.
StationReadLock LockStationForReading(FileSystem& fs, const StoreLayout& layout, bool wait);

// For the run that holds the station lock: the station's read byte alone,
// without waiting, while it deletes stored copies. kBusy while a reader
// holds the station; kAcquired with `lock` set, or kFailed / kUnsupported
// when no lock can be taken (the stand-in included), `why` (when given) then
// saying why in the system's words.
LockStatus LockStationForDeletion(FileSystem& fs, const StoreLayout& layout,
                                  std::unique_ptr<FileLock>& lock, std::string* why = nullptr);

}  // namespace varnoket
