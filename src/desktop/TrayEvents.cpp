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
    case TrayMouseMessage::LeftButtonDown:
      clickPending_ = true;
      sink_.MouseDown(TrayButton::mbLeft, pointer.shift | TrayShiftState::ssLeft, pointer.x,
                      pointer.y);
      break;
    case TrayMouseMessage::LeftButtonUp:
      MouseUp(TrayButton::mbLeft, pointer, TrayShiftState::ssLeft);
      // The release that ends a double click was not preceded by a press, so
      // it gives no second click.
      if (clickPending_) sink_.Click();
      clickPending_ = false;
      break;
    case TrayMouseMessage::LeftButtonDoubleClick:
      sink_.DblClick();
      break;
    case TrayMouseMessage::RightButtonDown:
      sink_.BringTrayToForeground();
      sink_.MouseDown(TrayButton::mbRight, pointer.shift | TrayShiftState::ssRight, pointer.x,
                      pointer.y);
      break;
    case TrayMouseMessage::RightButtonUp:
      if (sink_.PopupAtCursor()) sink_.PopupMenuClosed();
      MouseUp(TrayButton::mbRight, pointer, TrayShiftState::ssRight);
      break;
    case TrayMouseMessage::MouseMove:
      break;
  }
}

}  // namespace varnoket
