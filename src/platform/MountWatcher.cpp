#include "platform/MountWatcher.h"

#include <fcntl.h>
#include <poll.h>

#include <cerrno>
#include <chrono>

namespace varnoket {

MountWatcher::MountWatcher() : fd_(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC)) {}

bool MountWatcher::Changed(int timeoutMs) {
  if (!fd_.ok()) return false;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    pollfd entry{fd_.get(), POLLPRI, 0};
    // The kernel clears the mark as it reports it, so each change is told once.
    const int n = ::poll(&entry, 1, left > 0 ? static_cast<int>(left) : 0);
    if (n > 0) return (entry.revents & (POLLPRI | POLLERR)) != 0;
    if (n == 0 || errno != EINTR) return false;
  }
}

}  // namespace varnoket
