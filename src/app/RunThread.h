// Where a backup run's work is done. The window program gives it a thread of
// its own and keeps its window answering until it ends, so a share that
// hangs or a slow disk never freezes the window; the command line and the
// tests without a window run it in place.
#pragma once

#include <functional>

namespace varnoket {

class RunThread {
 public:
  virtual ~RunThread() = default;
  // Runs `work` and returns once it has ended (an exception it throws is
  // thrown again here).
  virtual void RunAndWait(const std::function<void()>& work) { work(); }
};

}  // namespace varnoket
