// The per-machine marker of a running instance: an exclusive lock on a lock
// file, which the kernel releases by itself when the process ends, however
// it ends. A second start probes it a few times (the previous process may be
// ending right now) before giving up.
#pragma once

#include <functional>
#include <string>

namespace varnoket {

// /tmp/varnoket.lock: every user of the machine sees the same file.
std::string DefaultInstanceLockPath();

class InstanceLock {
 public:
  explicit InstanceLock(std::string path = DefaultInstanceLockPath()) : path_(std::move(path)) {}
  ~InstanceLock() { Release(); }
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // One attempt; true when this process now holds the marker.
  bool TryAcquire();
  bool Held() const { return fd_ >= 0; }
  void Release();

 private:
  std::string path_;
  int fd_ = -1;
};

// Tries up to `attempts` times, calling `wait` between two attempts (500 ms
// in the program, nothing in tests). True when the marker was obtained.
bool ProbeInstance(InstanceLock& lock, int attempts, const std::function<void()>& wait);

enum class ProgramRole { kNormal, kUpdate };

// The update role belongs to the program file named "_FILE1.EXE", compared
// after upper-casing its name; every other name runs the program normally.
ProgramRole RoleOf(const std::string& programPath);

}  // namespace varnoket
