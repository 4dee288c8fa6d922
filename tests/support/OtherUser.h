// A second local user of the machine (nobody, 65534), played by a child
// process, for the tests of what one user can do to another's program. Only
// a process with the right to change its user (root) can play it:
// CanActAsOtherUser tries it once and says why not, for the tests to skip.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>

namespace varnoket::test {

inline constexpr uid_t kOtherUid = 65534;
inline constexpr gid_t kOtherGid = 65534;

// Whether a child of this process can become the other user; `why` says
// what stood in the way when not.
bool CanActAsOtherUser(std::string& why);

// Makes the calling process the other user (no supplementary groups); false
// when the system refused.
bool BecomeOtherUser();

// Runs `body` in a child process that became the other user: its exit
// status; 100 when it could not become that user, -1 when it died.
int AsOtherUser(const std::function<int()>& body);

// A child process, as the other user, that takes something (a lock) with
// `take` and keeps it until this object goes: `take` returns true when it
// holds what it took, kept alive through `keep`.
class OtherUserHolding {
 public:
  explicit OtherUserHolding(const std::function<bool(std::shared_ptr<void>& keep)>& take);
  ~OtherUserHolding();
  OtherUserHolding(const OtherUserHolding&) = delete;
  OtherUserHolding& operator=(const OtherUserHolding&) = delete;

  bool holds() const { return holds_; }

 private:
  int ready_[2] = {-1, -1};
  int release_[2] = {-1, -1};
  pid_t pid_ = 0;
  bool holds_ = false;
};

}  // namespace varnoket::test
