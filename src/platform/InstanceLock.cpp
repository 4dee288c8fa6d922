#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/AsciiText.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Translation.h"

namespace varnoket {

InstanceLockStatus InstanceLock::TryAcquire() {
  if (fd_ >= 0) return InstanceLockStatus::kAcquired;
  folder_.clear();
  refusals_.clear();
  for (const PrivateFolderCandidate& candidate : PrivateFolderCandidates(places_)) {
    std::string why;
    const int dirFd = OpenPrivateFolder(candidate, places_.uid, why);
    if (dirFd < 0) {
      refusals_.push_back(why);
      continue;
    }
    const InstanceLockStatus status = TryMarker(dirFd, candidate.path);
    ::close(dirFd);
    if (status != InstanceLockStatus::kNoSafePlace) return status;
  }
  return InstanceLockStatus::kNoSafePlace;
}

InstanceLockStatus InstanceLock::TryMarker(int dirFd, const std::string& folder) {
  const std::string path = JoinPath(folder, kInstanceMarkerName);
  // No link is followed, and a pipe planted under the name cannot block the
  // open; the file is this user's alone.
  const int fd = ::openat(dirFd, kInstanceMarkerName,
                          O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) {
    refusals_.push_back(
        errno == ELOOP
            ? FillText(VK_TR_NOOP("Messages", "le marqueur (%s) est un lien"), {ShownText(path)})
            : FillText(VK_TR_NOOP("Messages", "impossible d'ouvrir le marqueur (%s) : %s"),
                       {ShownText(path), strerror(errno)}));
    return InstanceLockStatus::kNoSafePlace;
  }
  struct stat info {};
  std::string why;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    why = FillText(VK_TR_NOOP("Messages", "le marqueur (%s) n'est pas un fichier ordinaire"),
                   {ShownText(path)});
  } else if (info.st_uid != places_.uid) {
    why = FillText(VK_TR_NOOP("Messages", "le marqueur (%s) appartient à un autre utilisateur"),
                   {ShownText(path)});
  }
  int r = -1;
  if (why.empty()) {
    do {
      r = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    if (r != 0 && errno == EWOULDBLOCK) {
      ::close(fd);
      folder_ = folder;
      return InstanceLockStatus::kHeld;
    }
    if (r != 0) {
      why = FillText(VK_TR_NOOP("Messages", "impossible de verrouiller le marqueur (%s) : %s"),
                     {ShownText(path), strerror(errno)});
    }
  }
  if (!why.empty()) {
    ::close(fd);
    refusals_.push_back(why);
    return InstanceLockStatus::kNoSafePlace;
  }
  fd_ = fd;
  folder_ = folder;
  return InstanceLockStatus::kAcquired;
}

std::string InstanceLock::SocketPath() const {
  return folder_.empty() ? std::string() : JoinPath(folder_, kInstanceSocketName);
}

void InstanceLock::Release() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the last descriptor releases the lock
  fd_ = -1;
}

InstanceLockStatus ProbeInstance(InstanceLock& lock, int attempts,
                                 const std::function<void()>& wait) {
  InstanceLockStatus status = InstanceLockStatus::kHeld;
  for (int i = 0; i < attempts; ++i) {
    status = lock.TryAcquire();
    if (status != InstanceLockStatus::kHeld) return status;
    if (wait && i + 1 < attempts) wait();
  }
  return status;
}

ProgramRole RoleOf(const std::string& programPath) {
  const size_t slash = programPath.find_last_of("/\\");
  const std::string_view name = slash == std::string::npos
                                    ? std::string_view(programPath)
                                    : std::string_view(programPath).substr(slash + 1);
  return EqualsIgnoreCase(name, "_FILE1.EXE") ? ProgramRole::kUpdate : ProgramRole::kNormal;
}

}  // namespace varnoket
