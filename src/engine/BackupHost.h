// What the backup engine needs from whoever hosts it (the window program, the
// command-line tool, a test): a message pump, the tray picture and hint, the
// error window, message boxes, and the program's windows and menu items that
// must be out of reach while a run works. The engine never calls a window.
#pragma once

#include <string>

#include "engine/RunProgress.h"

namespace varnoket {

class BackupHost {
 public:
  virtual ~BackupHost() = default;

  // Lets pending window events run (repaints, the tray icon).
  virtual void ProcessMessages() {}
  // 0 idle, 1 busy.
  virtual void SetTrayImage(int /*index*/) {}
  virtual void SetTrayHint(const std::string& /*hint*/) {}
  // How far the copy has gone: at each file and at each read of a large one
  // (often: a host that draws it keeps its own pace).
  virtual void ShowProgress(const RunProgress& /*progress*/) {}
  // Shows a text in the error window without waiting.
  virtual void ShowErrorWindow(const std::string& /*text*/) {}
  // Puts the program's windows out of reach while the run works (its
  // dialogs disabled, the main window's lists and buttons locked, its
  // progress and stop button shown) and remembers their states.
  virtual void DisableWindows() {}
  // Gives each window disabled by DisableWindows its state back.
  virtual void RestoreWindows() {}
  // The tray menu items "Configurer" and "Agrandir".
  virtual void SetMenuItemsEnabled(bool /*configure*/, bool /*enlarge*/) {}
  // The scheduler's timer, enabled again when a run has nothing to back up.
  virtual void EnableTimer() {}
  // Shows the main window and puts the focus on its directory list (a
  // backup directory is missing and the user must mend the list).
  virtual void FocusDirectoryList() {}
  // The backup set in memory was replaced by a newer one found on another
  // store: the lists that show it must be filled again.
  virtual void BackupSetChanged() {}
  // Every line the run writes to the activity log, as it is written.
  virtual void Logged(const std::string& /*message*/) {}
  // True once the program has been asked to end (quit, logout, a signal):
  // the run then stops at the next file boundary.
  virtual bool StopRequested() const { return false; }
  // True when the stop was the person's choice (the window's stop button),
  // not the program ending: the log says which.
  virtual bool CancelRequested() const { return false; }
};

}  // namespace varnoket
