#include <gtest/gtest.h>

#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <string>
#include <vector>

#include "desktop/gui/TrayIcon.h"

namespace varnoket {
namespace {

QIcon Filled(Qt::GlobalColor color) {
  QPixmap pixmap(16, 16);
  pixmap.fill(color);
  return QIcon(pixmap);
}

// Counts OnShow and OnHide.
struct ShowCounter {
  explicit ShowCounter(TrayIcon& icon) {
    icon.OnShow = [this](TrayIcon*) { ++shown; };
    icon.OnHide = [this](TrayIcon*) { ++hidden; };
  }
  int shown = 0;
  int hidden = 0;
};

TEST(TrayIcon, HintIsCutTo63Characters) {
  TrayIcon icon;
  icon.SetHint(std::string(100, 'x'));
  EXPECT_EQ(icon.Hint(), std::string(63, 'x'));
  icon.SetHint("Quendralith Backup");
  EXPECT_EQ(icon.Hint(), "Quendralith Backup");
}

TEST(TrayIcon, PictureComesFromTheImageListWhenOneIsSet) {
  TrayIcon icon;
  const QIcon own = Filled(Qt::green);
  icon.SetIcon(own);
  icon.SetImageIndex(1);
  EXPECT_EQ(icon.CurrentIcon().cacheKey(), own.cacheKey());  // no list: nothing changes

  const std::vector<QIcon> pictures{Filled(Qt::white), Filled(Qt::red)};
  icon.SetImageList(&pictures);
  EXPECT_EQ(icon.CurrentIcon().cacheKey(), pictures[1].cacheKey());
  icon.SetImageIndex(0);
  EXPECT_EQ(icon.CurrentIcon().cacheKey(), pictures[0].cacheKey());
  icon.SetImageIndex(5);
  EXPECT_TRUE(icon.CurrentIcon().isNull());
  EXPECT_EQ(icon.ImageIndex(), 5);
}

TEST(TrayIcon, VisibleRaisesShowAndHideOnlyOnChange) {
  TrayIcon icon;
  ShowCounter counter(icon);
  EXPECT_FALSE(icon.Visible());
  icon.SetVisible(false);
  icon.SetVisible(true);
  icon.SetVisible(true);
  EXPECT_TRUE(icon.Visible());
  EXPECT_EQ(counter.shown, 1);
  EXPECT_EQ(counter.hidden, 0);
  icon.SetVisible(false);
  EXPECT_FALSE(icon.Visible());
  EXPECT_EQ(counter.hidden, 1);
}

TEST(TrayIcon, StateIsKeptWithoutANotificationArea) {
  // The offscreen desktop has no notification area.
  TrayIcon icon;
  icon.SetIcon(Filled(Qt::blue));
  icon.SetHint("Sauvegarde en cours...");
  icon.SetVisible(true);
  EXPECT_TRUE(icon.Visible());
  EXPECT_EQ(icon.Hint(), "Sauvegarde en cours...");
  EXPECT_FALSE(icon.CurrentIcon().isNull());
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    EXPECT_FALSE(icon.ShownInTray());
  }
}

TEST(TrayIcon, TheMenuIsTheNotificationAreasOwnAndItsClosingRaisesPopup) {
  TrayIcon icon;
  std::vector<std::string> log;
  QMenu menu;
  menu.addAction("&Quitter");
  icon.SetPopupMenu(&menu);
  // The desktop's own menu: what a StatusNotifierItem host is given.
  auto* tray = icon.findChild<QSystemTrayIcon*>();
  ASSERT_NE(tray, nullptr);
  EXPECT_EQ(tray->contextMenu(), &menu);
  icon.OnMouseDown = [&](TrayIcon* sender, TrayButton button, TrayShiftState, int, int) {
    EXPECT_EQ(sender, &icon);
    log.push_back(button == TrayButton::kRight ? "down right" : "down left");
  };
  icon.OnMouseUp = [&](TrayIcon*, TrayButton button, TrayShiftState shift, int, int) {
    EXPECT_TRUE(Contains(shift, TrayShiftState::kRight));
    log.push_back(button == TrayButton::kRight ? "up right" : "up left");
  };
  icon.OnPopupMenu = [&](TrayIcon*) { log.push_back("popup"); };

  // A right click is still reported, but the icon opens no menu of its own
  // (the desktop does): no modal loop, nothing shown.
  icon.HandleTrayMessage(TrayMouseMessage::kRightButtonDown);
  icon.HandleTrayMessage(TrayMouseMessage::kRightButtonUp);
  EXPECT_FALSE(menu.isVisible());
  EXPECT_EQ(log, (std::vector<std::string>{"down right", "up right"}));

  // The desktop shows the menu and closes it: OnPopupMenu follows.
  menu.popup(QPoint(0, 0));
  EXPECT_TRUE(menu.isVisible());
  menu.hide();
  EXPECT_EQ(log, (std::vector<std::string>{"down right", "up right", "popup"}));

  // Another menu takes its place; the old one is no longer heard.
  QMenu other;
  icon.SetPopupMenu(&other);
  EXPECT_EQ(tray->contextMenu(), &other);
  menu.popup(QPoint(0, 0));
  menu.hide();
  EXPECT_EQ(log.size(), 3u);
}

TEST(TrayIcon, DestroyedMenuIsForgotten) {
  TrayIcon icon;
  int popups = 0;
  icon.OnPopupMenu = [&](TrayIcon*) { ++popups; };
  {
    QMenu menu;
    icon.SetPopupMenu(&menu);
    EXPECT_EQ(icon.PopupMenu(), &menu);
  }
  EXPECT_EQ(icon.PopupMenu(), nullptr);
  icon.HandleTrayMessage(TrayMouseMessage::kRightButtonUp);
  EXPECT_EQ(popups, 0);
}

TEST(TrayIcon, DisabledIconRaisesNoEvents) {
  TrayIcon icon;
  int events = 0;
  icon.OnClick = icon.OnDoubleClick = [&](TrayIcon*) { ++events; };
  icon.SetEnabled(false);
  icon.HandleTrayMessage(TrayMouseMessage::kLeftButtonDown);
  icon.HandleTrayMessage(TrayMouseMessage::kLeftButtonUp);
  icon.HandleTrayMessage(TrayMouseMessage::kLeftButtonDoubleClick);
  EXPECT_EQ(events, 0);
  icon.SetEnabled(true);
  icon.HandleTrayMessage(TrayMouseMessage::kLeftButtonDown);
  icon.HandleTrayMessage(TrayMouseMessage::kLeftButtonUp);
  EXPECT_EQ(events, 1);
}

}  // namespace
}  // namespace varnoket
