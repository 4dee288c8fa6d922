#include "app/gui/GuiBackupHost.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include "desktop/gui/TrayIcon.h"
#include "platform/gui/WindowThread.h"
#include "ui/gui/ErrorWindow.h"

namespace varnoket {

GuiBackupHost::GuiBackupHost(GuiBackupHostParts parts)
    : parts_(std::move(parts)),
      waitingHint_(progressTarget_,
                   [this](std::string& hint) {
                     if (parts_.tray != nullptr) parts_.tray->SetHint(hint);
                   }),
      waitingProgress_(progressTarget_, [this](RunProgress& progress) {
        if (running_) parts_.progress(progress);
      }) {}

void GuiBackupHost::ProcessMessages() {
  // A run on its own thread leaves the window's events to the window's
  // thread.
  if (OnWindowThreadNow()) QCoreApplication::processEvents();
}

void GuiBackupHost::SetTrayImage(int index) {
  OnWindowThread([&] {
    if (parts_.tray != nullptr) parts_.tray->SetImageIndex(index);
  });
}

void GuiBackupHost::SetTrayHint(const std::string& hint) {
  // Given for each folder walked and each file copied.
  waitingHint_.Post(hint);
}

void GuiBackupHost::ShowWaitingHint() {
  waitingHint_.ShowWaiting();
}

void GuiBackupHost::ShowErrorWindow(const std::string& text) {
  OnWindowThread([&] {
    lastError_ = text;
    ErrorWindow* window = parts_.errorWindow ? parts_.errorWindow() : nullptr;
    if (window != nullptr) window->ShowError(text);
  });
}

void GuiBackupHost::DisableWindows() {
  lastFile_.clear();
  lastDrawn_.invalidate();
  OnWindowThread([&] {
    running_ = true;
    cancelRequested_ = false;
    if (parts_.running) parts_.running(true);
    disabled_.clear();
    // The program's dialogs only: the main window shows the run and its
    // stop button, and the notification area's icon (a window of its own on
    // an X11 tray) and its menu must answer during the run.
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<QDialog*>(w) == nullptr) continue;
      if (w->isVisible() && w->isEnabled()) {
        w->setEnabled(false);
        disabled_.emplace_back(w);
      }
    }
  });
}

void GuiBackupHost::RestoreWindows() {
  OnWindowThread([&] {
    for (const auto& w : disabled_) {
      if (w) w->setEnabled(true);
    }
    disabled_.clear();
    running_ = false;
    cancelRequested_ = false;
    if (parts_.running) parts_.running(false);
  });
}

void GuiBackupHost::SetMenuItemsEnabled(bool configure, bool /*enlarge*/) {
  // The main window shows the run's progress: it can be opened during a run.
  OnWindowThread([&] {
    if (parts_.configureAction != nullptr) parts_.configureAction->setEnabled(configure);
  });
}

void GuiBackupHost::ShowProgress(const RunProgress& progress) {
  if (!parts_.progress) return;
  const bool newFile = progress.currentFile != lastFile_;
  const bool over = progress.filesDone == progress.filesTotal;
  if (!newFile && !over && lastDrawn_.isValid() && lastDrawn_.elapsed() < 100) return;
  lastFile_ = progress.currentFile;
  lastDrawn_.start();
  waitingProgress_.Post(progress);
}

void GuiBackupHost::EnableTimer() {
  OnWindowThread([&] {
    if (parts_.schedulerTimer != nullptr) parts_.schedulerTimer->start();
  });
}

void GuiBackupHost::FocusDirectoryList() {
  OnWindowThread([&] {
    if (parts_.focusDirectoryList) parts_.focusDirectoryList();
  });
}

void GuiBackupHost::BackupSetChanged() {
  OnWindowThread([&] {
    if (parts_.backupSetChanged) parts_.backupSetChanged();
  });
}

}  // namespace varnoket
