// One writer per station. Every run that writes a station's part of the
// store first takes the lock of its station folder and keeps it for the
// whole run, so two runs never write one station at once: two processes of
// this machine, or two machines sharing the store. The lock is the kernel's
// (released however its holder ends, a crash or a power cut on the network
// server's side included); the locked file says who holds it.
//
// The station folder also records which machine writes it (MACHINE.ID): a
// second machine that goes by the same station name refuses to write there
// rather than mix two machines' files in one list. Reading (restores,
// verification) is open to every machine; readers lock another byte of the
// same file so that the merge of old days waits for them (StationReadLock).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/StoreLayout.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MachineIdentity.h"

namespace varnoket {

inline constexpr const char* kStationLockName = "VARNOKET.LOCK";
// The bytes of the lock file that carry the station's locks. The writer
// holds byte 0 alone (an older copy of the program locks the whole file,
// which meets it); readers share byte 1, which the run takes alone while it
// deletes stored copies (the merge of the oldest days).
inline constexpr uint64_t kWriterLockByte = 0;
inline constexpr uint64_t kReaderLockByte = 1;
inline constexpr const char* kMachineMarkerName = "MACHINE.ID";

enum class StationLockStatus {
  kAcquired,        // this run may write the station
  kBusy,            // another run holds it; nothing was touched
  kForeignStation,  // the station folder belongs to another machine
  kFailed,          // no lock can be taken there (named in the message)
};

struct StationLock {
  StationLockStatus status = StationLockStatus::kFailed;
  // What the user is told when the lock was not acquired (French, naming the
  // holder or the problem); on kAcquired, a warning to log when the lock
  // only excludes this machine's runs, else "".
  std::string message;
  std::unique_ptr<FileLock> held;       // the station's own lock
  std::unique_ptr<FileLock> localHeld;  // the stand-in where the store takes no lock
  // False when the previous holder died or stopped without saying it ended
  // well: its leftovers must be looked for in every day folder.
  bool previousRunEnded = false;
  std::string holder;  // the text the lock file holds while this run works

  // Records, before the lock goes, that this run ended leaving nothing behind.
  void MarkEnded();
};

// Takes the lock of `layout`'s station folder, which must exist, without
// waiting; then checks or writes the machine marker and records the holder.
// `storeLockRequired` (a store on a network share, where other machines
// write): a file system that takes no lock is refused instead of being
// stood in for by a lock of this machine only.
StationLock LockStation(FileSystem& fs, const StoreLayout& layout, const MachineIdentity& me,
                        const LocalDateTime& now, bool storeLockRequired = false);

// Whether this machine may write the station: "" when its MACHINE.ID names
// this machine or is not there yet, else what to tell the user (another
// machine's station, a marker that names none). Reads only: for the
// start-up, which must not load or save another machine's backup set.
std::string StationOwnerProblem(FileSystem& fs, const StoreLayout& layout,
                                const MachineIdentity& me);

// The holder a lock file names, as "machine X, processus N, depuis D", or a
// text saying it is not known.
std::string DescribeLockHolder(const std::string& lockFileText);

// Where the stand-in lock of a station lives when the store's file system
// takes no lock: one file per station folder in this user's own folder
// (FileSystem::PrivateFolder), where no other local user can take it first.
// "" when this user has no such folder, `why` then saying why each place was
// refused.
std::string LocalStandInLockPath(FileSystem& fs, const std::string& stationFolder,
                                 std::string& why);

}  // namespace varnoket
