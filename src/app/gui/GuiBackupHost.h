// The window program's side of a backup run: the message pump, the tray
// picture and hint, the error window, the program's windows and tray menu
// items kept out of reach while the run works.
#pragma once

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
  QAction* showWindowAction = nullptr;
  QTimer* schedulerTimer = nullptr;
  std::function<ErrorWindow*()> errorWindow;
  std::function<void()> focusDirectoryList;
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
  bool StopRequested() const override { return stopRequested_; }

  // The program must end: a run in progress stops at its next file boundary.
  void RequestStop() { stopRequested_ = true; }
  // The latest text the run showed in the error window, then forgotten.
  std::string TakeLastError() { return std::exchange(lastError_, std::string()); }

 private:
  GuiBackupHostParts parts_;
  bool stopRequested_ = false;
  std::string lastError_;
  std::vector<QPointer<QWidget>> disabled_;
};

}  // namespace varnoket
