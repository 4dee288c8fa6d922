#include "desktop/TrayEvents.h"

namespace varnoket {

void TrayEvents::MouseUp(TrayButton button, const TrayPointer& pointer, TrayShiftState buttonFlag) {
  sink_.BringApplicationToForeground();
  sink_.MouseUp(button, pointer.shift | buttonFlag, pointer.x, pointer.y);
}

void TrayEvents::Handle(TrayMouseMessage message, bool enabled) {
  if (!enabled) return;
  const TrayPointer pointer = sink_.Pointer();
  switch (message) {
    case TrayMouseMessage::kLeftButtonDown:
      clickPending_ = true;
      sink_.MouseDown(TrayButton::kLeft, pointer.shift | TrayShiftState::kLeft, pointer.x,
                      pointer.y);
      break;
    case TrayMouseMessage::kLeftButtonUp:
      MouseUp(TrayButton::kLeft, pointer, TrayShiftState::kLeft);
      // The release that ends a double click was not preceded by a press, so
      // it gives no second click.
      if (clickPending_) sink_.Click();
      clickPending_ = false;
      break;
    case TrayMouseMessage::kLeftButtonDoubleClick:
      sink_.DoubleClick();
      break;
    case TrayMouseMessage::kRightButtonDown:
      sink_.BringTrayToForeground();
      sink_.MouseDown(TrayButton::kRight, pointer.shift | TrayShiftState::kRight, pointer.x,
                      pointer.y);
      break;
    case TrayMouseMessage::kRightButtonUp:
      if (sink_.PopupAtCursor()) sink_.PopupMenuClosed();
      MouseUp(TrayButton::kRight, pointer, TrayShiftState::kRight);
      break;
    case TrayMouseMessage::kMouseMove:
      break;
  }
}

}  // namespace varnoket
