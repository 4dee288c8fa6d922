// What the window's status block shows of the store itself: how the latest
// run ended (its activity log) and the room left on its disk. Read on a
// thread of its own, waited for a moment only (QuestionOffThread).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "app/LastRunOutcome.h"
#include "platform/FileSystem.h"
#include "platform/QuestionOffThread.h"

namespace varnoket {

struct StoreFacts {
  LastRunOutcome run;
  std::optional<uint64_t> freeBytes;  // none: the root is not a folder
};

class StoreGlance {
 public:
  // `fs` must outlive every read (a hung one included): the program's own.
  explicit StoreGlance(FileSystem& fs) : fs_(fs) {}

  // The facts of the store at `root` whose log is `logPath`, waiting at most
  // `wait`; nothing when they did not come in time.
  std::optional<StoreFacts> Read(const std::string& root, const std::string& logPath,
                                 std::chrono::milliseconds wait);
  // A read that did not answer in time is still waiting.
  bool Waiting() const { return question_.Waiting(); }

 private:
  FileSystem& fs_;
  QuestionOffThread<StoreFacts> question_;
};

}  // namespace varnoket
