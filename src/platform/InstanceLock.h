// The marker of this user's running instance: an exclusive lock on a file in
// the user's own folder (InstanceLockFolder.h), which the kernel releases by
// itself when the process ends, however it ends. Each user of the machine has
// their own, so one user's program never stops another's. A second start
// probes it a few times (the previous process may be ending right now)
// before giving up; the socket beside the marker is where the running copy
// listens for a second start.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/InstanceLockFolder.h"

namespace varnoket {

inline constexpr const char* kInstanceMarkerName = "varnoket.lock";
inline constexpr const char* kInstanceSocketName = "varnoket.socket";

enum class InstanceLockStatus {
  kAcquired,     // this process holds the marker
  kHeld,         // another process of this user holds it
  kNoSafePlace,  // no place of this user's could hold a marker (Refusals says why)
};

class InstanceLock {
 public:
  // Tries the places in order: a place whose folder or marker is unsafe is
  // passed over for the next one.
  explicit InstanceLock(PrivateFolderPlaces places = ThisUsersPlaces())
      : places_(std::move(places)) {}
  ~InstanceLock() { Release(); }
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // One attempt.
  InstanceLockStatus TryAcquire();
  bool Held() const { return fd_ >= 0; }
  void Release();

  // The folder of the marker this process holds, or that another holds
  // after kHeld; "" before.
  const std::string& Folder() const { return folder_; }
  std::string SocketPath() const;
  // Why each place passed over at the latest attempt was refused.
  const std::vector<std::string>& Refusals() const { return refusals_; }

 private:
  // The marker in the open folder `dirFd`: kAcquired (fd_ set), kHeld, or
  // kNoSafePlace with a refusal noted.
  InstanceLockStatus TryMarker(int dirFd, const std::string& folder);

  PrivateFolderPlaces places_;
  std::string folder_;
  std::vector<std::string> refusals_;
  int fd_ = -1;
};

// Tries up to `attempts` times, calling `wait` between two attempts while
// the marker is held (500 ms in the program, nothing in tests). Ends at
// once when it is obtained or when no place is safe.
InstanceLockStatus ProbeInstance(InstanceLock& lock, int attempts,
                                 const std::function<void()>& wait);

enum class ProgramRole { kNormal, kUpdate };

// The update role belongs to the program file named "_FILE1.EXE", compared
// after upper-casing its name; every other name runs the program normally.
ProgramRole RoleOf(const std::string& programPath);

}  // namespace varnoket
