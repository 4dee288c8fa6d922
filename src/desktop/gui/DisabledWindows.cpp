#include "desktop/gui/DisabledWindows.h"

#include <QApplication>

namespace varnoket {

DisabledWindows::DisabledWindows() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isWindow()) continue;
    windows_.emplace_back(window, window->isEnabled());
    window->setEnabled(false);
  }
}

DisabledWindows::~DisabledWindows() {
  for (auto& [window, enabled] : windows_) {
    if (!window.isNull()) window->setEnabled(enabled);
  }
}

}  // namespace varnoket
