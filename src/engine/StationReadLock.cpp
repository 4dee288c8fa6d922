#include "engine/StationReadLock.h"

#include "engine/StationLock.h"

namespace varnoket {

namespace {

// Locks the read byte of the station's lock file, or of this machine's
// stand-in where the store's file system takes no lock.
// `why` says why no lock was had.
LockStatus LockReadByte(FileSystem& fs, const StoreLayout& layout, LockRequest request,
                        std::unique_ptr<FileLock>& lock, bool& local, std::string& why) {
  const std::string station = layout.StationFolder();
  local = false;
  FsStatus refused;
  LockStatus status =
      fs.LockRange(layout.rules().Join(station, kStationLockName), request, lock, refused);
  if (status == LockStatus::kUnsupported) {
    local = true;
    request.readOnly = false;  // the stand-in lies in this user's own folder
    const std::string standIn = LocalStandInLockPath(fs, station, why);
    // No safe folder: no lock to be had, as with a lock file that cannot be
    // opened.
    if (standIn.empty()) return LockStatus::kFailed;
    status = fs.LockRange(standIn, request, lock, refused);
  }
  if (!refused) why = refused.Reason();
  return status;
}

}  // namespace

StationReadLock LockStationForReading(FileSystem& fs, const StoreLayout& layout, bool wait) {
  StationReadLock read;
  const std::string station = layout.StationFolder();
  if (!fs.IsDirectory(station)) return read;
  // A shared lock needs the file open for reading only: a store mounted
  // read-only, or files of another user, still take it.
  const bool exists = fs.Exists(layout.rules().Join(station, kStationLockName));
  const LockRequest request{kReaderLockByte, 1, true, wait, exists};
  std::string why;
  switch (LockReadByte(fs, layout, request, read.held, read.local, why)) {
    case LockStatus::kAcquired:
      read.status = ReadLockStatus::kHeld;
      break;
    case LockStatus::kBusy:
      read.status = ReadLockStatus::kBusy;
      break;
    case LockStatus::kUnsupported:
    case LockStatus::kFailed:
      // No lock can be had (a read-only store without a lock file, a lock
      // file that cannot be opened): the reader goes on as it always could.
      read.held.reset();
      read.local = false;
      break;
  }
  return read;
}

LockStatus LockStationForDeletion(FileSystem& fs, const StoreLayout& layout,
                                  std::unique_ptr<FileLock>& lock, std::string* why) {
  bool local = false;
  std::string refusal;
  const LockStatus status = LockReadByte(
      fs, layout, LockRequest{kReaderLockByte, 1, false, false, false}, lock, local, refusal);
  if (why != nullptr) *why = refusal;
  return status;
}

}  // namespace varnoket
