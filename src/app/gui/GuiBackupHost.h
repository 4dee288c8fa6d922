// The window program's side of a backup run: the message pump, the tray
// picture and hint, the error window, the program's windows and tray menu
// items kept out of reach while the run works.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/BackupHost.h"

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
  explicit GuiBackupHost(GuiBackupHostParts parts) : parts_(std::move(parts)) {}

  void ProcessMessages() override;
  void SetTrayImage(int index) override;
  void SetTrayHint(const std::string& hint) override;
  void ShowErrorWindow(const std::string& text) override;
  void DisableWindows() override;
  void RestoreWindows() override;
  void SetMenuItemsEnabled(bool configure, bool enlarge) override;
  void EnableTimer() override;
  void FocusDirectoryList() override;
  void BackupSetChanged() override {
    if (parts_.backupSetChanged) parts_.backupSetChanged();
  }
  bool StopRequested() const override { return stopRequested_ || cancelRequested_; }
  bool CancelRequested() const override { return cancelRequested_; }
  // Drawn at most ten times a second, and at each new file.
  void ShowProgress(const RunProgress& progress) override;

  // The program must end: a run in progress stops at its next file boundary.
  void RequestStop() { stopRequested_ = true; }
  // The person stops the run under way (no effect between runs).
  void RequestCancel() { cancelRequested_ = running_; }
  // The latest text the run showed in the error window, then forgotten.
  std::string TakeLastError() { return std::exchange(lastError_, std::string()); }

 private:
  GuiBackupHostParts parts_;
  bool stopRequested_ = false;
  bool cancelRequested_ = false;
  bool running_ = false;
  QElapsedTimer lastDrawn_;
  std::string lastFile_;
  std::string lastError_;
  std::vector<QPointer<QWidget>> disabled_;
};

}  // namespace varnoket
