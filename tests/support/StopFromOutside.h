// A run asked to end from outside while its workers are busy, and the count
// of this process's threads that shows none of them is left behind.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <thread>

#include "support/StoreFixture.h"

namespace varnoket::test {

// Asks the run to end once `stop` is set (by a file system rule, say), and
// says when the run saw it, so the rule can hold later calls until then.
class StopFromOutside : public RecordingHost {
 public:
  bool StopRequested() const override {
    if (!stop.load()) return false;
    seen.store(true);
    seen.notify_all();
    return true;
  }
  std::atomic<bool> stop{false};
  mutable std::atomic<bool> seen{false};
};

// The threads of this process, once there are no more than `atMost` or
// soon after: a thread just joined may still be listed while the system
// ends it.
inline size_t ThreadCount(size_t atMost = SIZE_MAX) {
  const auto count = [] {
    return static_cast<size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/task"), {}));
  };
  size_t now = count();
  for (int tries = 0; now > atMost && tries < 10000; ++tries) {
    std::this_thread::yield();
    now = count();
  }
  return now;
}

}  // namespace varnoket::test
