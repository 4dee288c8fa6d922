// Turns the raw mouse messages of the notification-area icon into the icon's
// events, in the order the program relies on: a left press and release give
// a click, a double click comes between the two releases, and the right
// button opens the menu before its release is reported.
#pragma once

namespace varnoket {

enum class TrayButton { kLeft, kRight, kMiddle };

// The keys and buttons held while a mouse message arrives; a set of flags.
enum class TrayShiftState : unsigned {
  kNone = 0,
  kShift = 1,
  kAlt = 2,
  kCtrl = 4,
  kLeft = 8,
  kRight = 16,
  kMiddle = 32,
};

constexpr TrayShiftState operator|(TrayShiftState a, TrayShiftState b) {
  return static_cast<TrayShiftState>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool Contains(TrayShiftState set, TrayShiftState flag) {
  return (static_cast<unsigned>(set) & static_cast<unsigned>(flag)) == static_cast<unsigned>(flag);
}

// The mouse messages the notification area reports for the icon.
enum class TrayMouseMessage {
  kLeftButtonDown,
  kLeftButtonUp,
  kLeftButtonDoubleClick,
  kRightButtonDown,
  kRightButtonUp,
  kMouseMove,  // and anything else the icon ignores
};

// The cursor and the modifier keys at the moment a message is handled.
struct TrayPointer {
  int x = 0;
  int y = 0;
  TrayShiftState shift = TrayShiftState::kNone;
};

// What the event logic needs from the icon it serves.
class TrayEventSink {
 public:
  virtual ~TrayEventSink() = default;
  virtual TrayPointer Pointer() = 0;
  // Before a right press, so the menu that follows takes the focus.
  virtual void BringTrayToForeground() = 0;
  // Before every release is reported.
  virtual void BringApplicationToForeground() = 0;
  // Opens the icon's menu at the cursor and returns once it has closed;
  // false when the icon has no menu or the desktop opens it itself.
  virtual bool PopupAtCursor() = 0;

  virtual void MouseDown(TrayButton button, TrayShiftState shift, int x, int y) = 0;
  virtual void MouseUp(TrayButton button, TrayShiftState shift, int x, int y) = 0;
  virtual void Click() = 0;
  virtual void DoubleClick() = 0;
  // Raised after the menu has closed; not raised when there was no menu.
  virtual void PopupMenuClosed() = 0;
};

class TrayEvents {
 public:
  explicit TrayEvents(TrayEventSink& sink) : sink_(sink) {}

  // One mouse message on the icon; an icon that is not enabled raises
  // nothing and opens no menu.
  void Handle(TrayMouseMessage message, bool enabled);

  bool ClickPending() const { return clickPending_; }

 private:
  void MouseUp(TrayButton button, const TrayPointer& pointer, TrayShiftState buttonFlag);

  TrayEventSink& sink_;
  bool clickPending_ = false;
};

}  // namespace varnoket
