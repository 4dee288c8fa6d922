// The window program's side of a backup run: the tray picture and hint, the
// error window, the program's windows and tray menu items kept out of reach
// while the run works. The run calls it from its own thread: each call is
// carried to the window's thread, the progress without waiting.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/BackupHost.h"
#include "platform/gui/LatestOnWindowThread.h"

class QAction;
class QTimer;

namespace varnoket {

class TrayIcon;
class ErrorWindow;

struct GuiBackupHostParts {
  TrayIcon* tray = nullptr;
  QAction* configureAction = nullptr;
  QTimer* schedulerTimer = nullptr;
  std::function<ErrorWindow*()> errorWindow;
  std::function<void()> focusDirectoryList;
  // The main window stays enabled during a run (its stop button and
  // progress); it locks its own controls through `running`.
  std::function<void(bool)> running;
  std::function<void(const RunProgress&)> progress;
  // The backup set was replaced by a newer one from another disk.
  std::function<void()> backupSetChanged;
};

class GuiBackupHost final : public BackupHost {
 public:
  explicit GuiBackupHost(GuiBackupHostParts parts);

  void ProcessMessages() override;
  void SetTrayImage(int index) override;
  void SetTrayHint(const std::string& hint) override;
  void ShowErrorWindow(const std::string& text) override;
  void DisableWindows() override;
  void RestoreWindows() override;
  void SetMenuItemsEnabled(bool configure, bool enlarge) override;
  void EnableTimer() override;
  void FocusDirectoryList() override;
  void BackupSetChanged() override;
  bool StopRequested() const override { return stopRequested_ || cancelRequested_; }
  bool CancelRequested() const override { return cancelRequested_; }
  // Drawn at most ten times a second and at each new file, and never more
  // often than the window's thread takes it: a waiting figure is replaced
  // by a newer one.
  void ShowProgress(const RunProgress& progress) override;

  // The program must end: a run in progress stops at its next file boundary.
  void RequestStop() { stopRequested_ = true; }
  // The person stops the run under way (no effect between runs).
  void RequestCancel() { cancelRequested_ = running_; }
  // On the window's thread: shows the hint the run gave last if it is
  // still waiting, so that what the window shows after the run is not
  // replaced by it.
  void ShowWaitingHint();
  // The latest text the run showed in the error window, then forgotten.
  std::string TakeLastError() { return std::exchange(lastError_, std::string()); }

 private:
  GuiBackupHostParts parts_;
  // Set by the window's thread, read by the run's.
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> cancelRequested_{false};
  bool running_ = false;  // the window's thread only
  // The run's thread only (reset while it waits for DisableWindows).
  QElapsedTimer lastDrawn_;
  std::string lastFile_;
  // What the posts go to: gone with the host, so is a value still waiting.
  QObject progressTarget_;
  // The hint and the figure waiting for the window's thread. A figure that
  // arrives after the run has ended is not drawn: it would show it running.
  LatestOnWindowThread<std::string> waitingHint_;
  LatestOnWindowThread<RunProgress> waitingProgress_;
  std::string lastError_;
  std::vector<QPointer<QWidget>> disabled_;
};

}  // namespace varnoket
