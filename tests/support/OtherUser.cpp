#include "support/OtherUser.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace varnoket::test {

bool BecomeOtherUser() {
  return ::setgroups(0, nullptr) == 0 && ::setgid(kOtherGid) == 0 && ::setuid(kOtherUid) == 0;
}

int AsOtherUser(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) ::_exit(BecomeOtherUser() ? body() : 100);
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool CanActAsOtherUser(std::string& why) {
  if (::geteuid() != 0) {
    why = "acting as a second user needs root (this test runs as uid " +
          std::to_string(::geteuid()) + ")";
    return false;
  }
  // Root in a container may still be refused a change of user.
  if (AsOtherUser([] { return ::getuid() == kOtherUid ? 0 : 1; }) != 0) {
    why = "this machine refuses to let the test become uid " + std::to_string(kOtherUid);
    return false;
  }
  return true;
}

OtherUserHolding::OtherUserHolding(const std::function<bool(std::shared_ptr<void>& keep)>& take) {
  if (::pipe(ready_) != 0 || ::pipe(release_) != 0) throw std::runtime_error("pipe");
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    std::shared_ptr<void> keep;
    const char ok = BecomeOtherUser() && take(keep) ? 1 : 0;
    if (::write(ready_[1], &ok, 1) != 1) ::_exit(2);
    char byte;
    // Ends when told, or when the test process is gone.
    ::close(release_[1]);
    (void)::read(release_[0], &byte, 1);
    ::_exit(0);  // the kernel lets what it held go with the process
  }
  char ok = 0;
  holds_ = ::read(ready_[0], &ok, 1) == 1 && ok == 1;
}

OtherUserHolding::~OtherUserHolding() {
  if (pid_ > 0) {
    ::close(release_[1]);
    release_[1] = -1;
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  for (int fd : {ready_[0], ready_[1], release_[0], release_[1]}) {
    if (fd >= 0) ::close(fd);
  }
}

}  // namespace varnoket::test
