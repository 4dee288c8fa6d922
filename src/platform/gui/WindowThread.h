// The window's thread and the backup run's: every widget lives on the
// window's thread, so what a run on its own thread asks of the window (a
// box, the error window, the tray) is carried over there and waited for.
#pragma once

#include <functional>
#include <string>

#include "platform/Dialogs.h"
#include "platform/RunThread.h"

namespace varnoket {

// True on the thread the program's windows live on (or with no application).
bool OnWindowThreadNow();

// Runs `call` on the window's thread and waits for it; at once when called
// there.
void OnWindowThread(const std::function<void()>& call);

// Gives the work a thread of its own and lets the window's events run until
// it ends: the window keeps answering (its stop button, the tray menu, a
// repaint) even while the work waits on a share that no longer answers.
class OffWindowThread final : public RunThread {
 public:
  void RunAndWait(const std::function<void()>& work) override;
};

// Message boxes asked from the run's thread, shown on the window's thread.
class WindowThreadDialogs final : public Dialogs {
 public:
  explicit WindowThreadDialogs(Dialogs& shown) : shown_(shown) {}

  DialogAnswer Error(const std::string& text, DialogButtons buttons) override;
  DialogAnswer Warning(const std::string& text, DialogButtons buttons) override;
  void Information(const std::string& text) override;
  void Message(const std::string& text) override;

 private:
  Dialogs& shown_;
};

}  // namespace varnoket
