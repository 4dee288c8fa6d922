// A short message to the person at the desktop, outside any window: the
// desktop's notification service shows it where there is one, and the
// program's error window where there is none. Callers only say what to
// tell; how it is delivered stays behind this interface.
#pragma once

#include <string>

namespace varnoket {

struct Notification {
  std::string summary;    // one line
  std::string body;       // may hold "\n"
  bool critical = false;  // stays up until the person dismisses it
};

class Notifier {
 public:
  virtual ~Notifier() = default;
  // Never blocks and never throws: a delivery that fails falls back or is lost.
  virtual void Notify(const Notification& notification) = 0;
};

}  // namespace varnoket
