#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace varnoket {

std::string DefaultInstanceLockPath() {
  return "/tmp/varnoket.lock";
}

bool InstanceLock::TryAcquire() {
  if (fd_ >= 0) return true;
  // No link is followed: the folder is shared by every user of the machine.
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return false;
  // Every user's copy must be able to open the file to probe it.
  ::fchmod(fd, 0666);
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void InstanceLock::Release() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the last descriptor releases the lock
  fd_ = -1;
}

bool ProbeInstance(InstanceLock& lock, int attempts, const std::function<void()>& wait) {
  for (int i = 0; i < attempts; ++i) {
    if (lock.TryAcquire()) return true;
    if (wait && i + 1 < attempts) wait();
  }
  return false;
}

ProgramRole RoleOf(const std::string& programPath) {
  const size_t slash = programPath.find_last_of("/\\");
  std::string name = slash == std::string::npos ? programPath : programPath.substr(slash + 1);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name == "_FILE1.EXE" ? ProgramRole::kUpdate : ProgramRole::kNormal;
}

}  // namespace varnoket
