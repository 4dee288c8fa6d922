#include "desktop/gui/DisabledWindows.h"

#include <QApplication>

namespace varnoket {

DisabledWindows::DisabledWindows() {
  // A window's own setting, not isEnabled(): a window that belongs to another
  // (the tray's menu belongs to the main window) reads as disabled once its
  // owner is, and giving it that back would leave it disabled for good.
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (QWidget* window : windows) {
    if (window->isWindow()) {
      windows_.emplace_back(window, !window->testAttribute(Qt::WA_ForceDisabled));
    }
  }
  for (auto& [window, enabled] : windows_) window->setEnabled(false);
}

DisabledWindows::~DisabledWindows() {
  for (auto& [window, enabled] : windows_) {
    if (!window.isNull()) window->setEnabled(enabled);
  }
}

}  // namespace varnoket
