// Tells when the system's mount table changes: a disk plugged in and
// mounted, or unmounted. The kernel marks /proc/self/mountinfo with
// POLLPRI|POLLERR after each change; the descriptor can go into an event
// loop, or Changed waits on it. Used to start a run as soon as the store's
// disk comes, instead of at the next ten-minute tick.
#pragma once

#include "platform/UniqueFd.h"

namespace varnoket {

class MountWatcher {
 public:
  MountWatcher();

  // False when the mount table could not be opened (no /proc): nothing is
  // ever reported then.
  bool Watching() const { return fd_.ok(); }
  // The descriptor to watch for an exceptional condition (POLLPRI).
  int Fd() const { return fd_.get(); }
  // Waits up to `timeoutMs` (0: only looks) for a change since the watcher
  // was made or last reported one; true when there was one.
  bool Changed(int timeoutMs);

 private:
  UniqueFd fd_;
};

}  // namespace varnoket
