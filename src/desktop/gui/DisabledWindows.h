// Keeps every top-level window of the program disabled while a modal picker
// is open, and gives each window back the state it had before, even when the
// picker's code throws.
#pragma once

#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

namespace varnoket {

class DisabledWindows {
 public:
  // Disables every top-level window that exists now.
  DisabledWindows();
  // Restores each window that still exists.
  ~DisabledWindows();
  DisabledWindows(const DisabledWindows&) = delete;
  DisabledWindows& operator=(const DisabledWindows&) = delete;

 private:
  std::vector<std::pair<QPointer<QWidget>, bool>> windows_;
};

}  // namespace varnoket
