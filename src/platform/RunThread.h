// Where a long piece of work is done: a backup run, a restore, a read of the
// store. The window program gives it a thread of its own and keeps its
// windows answering until it ends, so a share that hangs or a slow disk
// never freezes them; the command line and the tests without a window run
// it in place.
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
