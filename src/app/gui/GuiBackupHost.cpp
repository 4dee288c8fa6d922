#include "app/gui/GuiBackupHost.h"

#include <QAction>
#include <QApplication>
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
  disabled_.clear();
  for (QWidget* w : QApplication::topLevelWidgets()) {
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
}

void GuiBackupHost::SetMenuItemsEnabled(bool configure, bool enlarge) {
  if (parts_.configureAction != nullptr) parts_.configureAction->setEnabled(configure);
  if (parts_.showWindowAction != nullptr) parts_.showWindowAction->setEnabled(enlarge);
}

void GuiBackupHost::EnableTimer() {
  if (parts_.schedulerTimer != nullptr) parts_.schedulerTimer->start();
}

void GuiBackupHost::FocusDirectoryList() {
  if (parts_.focusDirectoryList) parts_.focusDirectoryList();
}

}  // namespace varnoket
