#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/TrayEvents.h"

namespace varnoket {
namespace {

// Records each event as a short word, with the button flags of mouse events.
class RecordingSink : public TrayEventSink {
 public:
  TrayPointer Pointer() override { return pointer; }
  void BringTrayToForeground() override { log.push_back("tray-front"); }
  void BringApplicationToForeground() override { log.push_back("app-front"); }
  bool PopupAtCursor() override {
    if (hasMenu) log.push_back("menu");
    return hasMenu;
  }
  void MouseDown(TrayButton button, TrayShiftState shift, int x, int y) override {
    log.push_back(Mouse("down", button, shift, x, y));
  }
  void MouseUp(TrayButton button, TrayShiftState shift, int x, int y) override {
    log.push_back(Mouse("up", button, shift, x, y));
  }
  void Click() override { log.push_back("click"); }
  void DoubleClick() override { log.push_back("dblclick"); }
  void PopupMenuClosed() override { log.push_back("popup"); }

  TrayPointer pointer{10, 20, TrayShiftState::kNone};
  bool hasMenu = false;
  std::vector<std::string> log;

 private:
  static std::string Mouse(const char* what, TrayButton button, TrayShiftState shift, int x,
                           int y) {
    std::string text = what;
    text += button == TrayButton::kLeft ? " left" : " right";
    if (Contains(shift, TrayShiftState::kLeft)) text += " +L";
    if (Contains(shift, TrayShiftState::kRight)) text += " +R";
    if (Contains(shift, TrayShiftState::kCtrl)) text += " +Ctrl";
    return text + " " + std::to_string(x) + "," + std::to_string(y);
  }
};

using Log = std::vector<std::string>;

TEST(TrayEvents, LeftClickGivesDownUpThenClick) {
  RecordingSink sink;
  TrayEvents events(sink);
  events.Handle(TrayMouseMessage::kLeftButtonDown, true);
  EXPECT_TRUE(events.ClickPending());
  events.Handle(TrayMouseMessage::kLeftButtonUp, true);
  EXPECT_FALSE(events.ClickPending());
  EXPECT_EQ(sink.log, (Log{"down left +L 10,20", "app-front", "up left +L 10,20", "click"}));
}

TEST(TrayEvents, DoubleClickOrderAndNoSecondClick) {
  RecordingSink sink;
  TrayEvents events(sink);
  for (auto message : {TrayMouseMessage::kLeftButtonDown, TrayMouseMessage::kLeftButtonUp,
                       TrayMouseMessage::kLeftButtonDoubleClick, TrayMouseMessage::kLeftButtonUp}) {
    events.Handle(message, true);
  }
  EXPECT_EQ(sink.log, (Log{"down left +L 10,20", "app-front", "up left +L 10,20", "click",
                           "dblclick", "app-front", "up left +L 10,20"}));
}

TEST(TrayEvents, RightClickOpensMenuBeforeTheRelease) {
  RecordingSink sink;
  sink.hasMenu = true;
  sink.pointer = {3, 4, TrayShiftState::kCtrl};
  TrayEvents events(sink);
  events.Handle(TrayMouseMessage::kRightButtonDown, true);
  events.Handle(TrayMouseMessage::kRightButtonUp, true);
  EXPECT_EQ(sink.log, (Log{"tray-front", "down right +R +Ctrl 3,4", "menu", "popup", "app-front",
                           "up right +R +Ctrl 3,4"}));
}

TEST(TrayEvents, RightReleaseWithoutMenuStillReportsTheRelease) {
  RecordingSink sink;
  TrayEvents events(sink);
  events.Handle(TrayMouseMessage::kRightButtonUp, true);
  EXPECT_EQ(sink.log, (Log{"app-front", "up right +R 10,20"}));
}

TEST(TrayEvents, DisabledIconRaisesNothingAndOpensNoMenu) {
  RecordingSink sink;
  sink.hasMenu = true;
  TrayEvents events(sink);
  for (auto message : {TrayMouseMessage::kLeftButtonDown, TrayMouseMessage::kLeftButtonUp,
                       TrayMouseMessage::kLeftButtonDoubleClick, TrayMouseMessage::kRightButtonDown,
                       TrayMouseMessage::kRightButtonUp}) {
    events.Handle(message, false);
  }
  EXPECT_TRUE(sink.log.empty());
  EXPECT_FALSE(events.ClickPending());
}

TEST(TrayEvents, ReleaseAfterPressWhileDisabledGivesNoClick) {
  RecordingSink sink;
  TrayEvents events(sink);
  events.Handle(TrayMouseMessage::kLeftButtonDown, false);
  events.Handle(TrayMouseMessage::kLeftButtonUp, true);
  EXPECT_EQ(sink.log, (Log{"app-front", "up left +L 10,20"}));
}

}  // namespace
}  // namespace varnoket
