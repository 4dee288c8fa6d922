// What passes between a second start of the program and the copy of the same
// user already running, over the unix socket beside the instance marker (in
// the user's own folder, so only this user's processes reach it): the second
// start asks "show", the running copy brings its main window forward and
// answers "shown", or "busy" while a backup keeps its windows out of reach
// (the window then opens when the run ends).
// A second start that gets no answer behaves as before: it ends.
#pragma once

#include <functional>
#include <string>

namespace varnoket {

enum class ShowAnswer {
  kShown,     // the running copy's main window is on screen
  kBusy,      // a backup works: the window opens when it ends, a notification says so
  kNoAnswer,  // nothing listens, or nothing answered in time
};

// The second start's side: asks the copy listening at `socketPath` to show
// its window and waits up to `timeoutMs` for its answer.
ShowAnswer AskRunningCopyToShow(const std::string& socketPath, int timeoutMs);

// The running copy's side.
class ShowRequests {
 public:
  ShowRequests() = default;
  ~ShowRequests();
  ShowRequests(const ShowRequests&) = delete;
  ShowRequests& operator=(const ShowRequests&) = delete;

  // Listens at `socketPath`, owner-only. A socket left there by a copy that
  // died is removed first: the caller holds the marker, so no live copy
  // listens there. False, with `why`, when the name is taken by something
  // else or the socket cannot be made.
  bool Listen(const std::string& socketPath, std::string& why);
  // The listening descriptor, readable when a second start connects; -1
  // when not listening.
  int Fd() const { return fd_; }
  // Serves one waiting connection: reads its request (waiting at most
  // `readTimeoutMs`), and for "show" calls `show`, whose result says whether
  // the window is on screen, and answers. Never blocks when none waits.
  void ServeOne(const std::function<bool()>& show, int readTimeoutMs = 1000);

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace varnoket
