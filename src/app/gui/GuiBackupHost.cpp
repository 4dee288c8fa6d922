#include "app/gui/GuiBackupHost.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include "desktop/gui/TrayIcon.h"
#include "ui/gui/ErrorWindow.h"

namespace varnoket {

void GuiBackupHost::ProcessMessages() {
  QCoreApplication::processEvents();
}

void GuiBackupHost::SetTrayImage(int index) {
  if (parts_.tray != nullptr) parts_.tray->SetImageIndex(index);
}

void GuiBackupHost::SetTrayHint(const std::string& hint) {
  if (parts_.tray != nullptr) parts_.tray->SetHint(hint);
}

void GuiBackupHost::ShowErrorWindow(const std::string& text) {
  lastError_ = text;
  ErrorWindow* window = parts_.errorWindow ? parts_.errorWindow() : nullptr;
  if (window != nullptr) window->ShowError(text);
}

void GuiBackupHost::DisableWindows() {
  running_ = true;
  cancelRequested_ = false;
  lastFile_.clear();
  lastDrawn_.invalidate();
  if (parts_.running) parts_.running(true);
  disabled_.clear();
  // The program's dialogs only: the main window shows the run and its stop
  // button, and the notification area's icon (a window of its own on an X11
  // tray) and its menu must answer during the run.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (qobject_cast<QDialog*>(w) == nullptr) continue;
    if (w->isVisible() && w->isEnabled()) {
      w->setEnabled(false);
      disabled_.emplace_back(w);
    }
  }
}

void GuiBackupHost::RestoreWindows() {
  for (const auto& w : disabled_) {
    if (w) w->setEnabled(true);
  }
  disabled_.clear();
  running_ = false;
  cancelRequested_ = false;
  if (parts_.running) parts_.running(false);
}

void GuiBackupHost::SetMenuItemsEnabled(bool configure, bool /*enlarge*/) {
  // The main window shows the run's progress: it can be opened during a run.
  if (parts_.configureAction != nullptr) parts_.configureAction->setEnabled(configure);
}

void GuiBackupHost::ShowProgress(const RunProgress& progress) {
  if (!parts_.progress) return;
  const bool newFile = progress.currentFile != lastFile_;
  const bool over = progress.filesDone == progress.filesTotal;
  if (!newFile && !over && lastDrawn_.isValid() && lastDrawn_.elapsed() < 100) return;
  lastFile_ = progress.currentFile;
  lastDrawn_.start();
  parts_.progress(progress);
}

void GuiBackupHost::EnableTimer() {
  if (parts_.schedulerTimer != nullptr) parts_.schedulerTimer->start();
}

void GuiBackupHost::FocusDirectoryList() {
  if (parts_.focusDirectoryList) parts_.focusDirectoryList();
}

}  // namespace varnoket
