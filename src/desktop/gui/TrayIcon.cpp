#include "desktop/gui/TrayIcon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#include "desktop/TrayHint.h"
#include "platform/Translation.h"

namespace varnoket {

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent), tray_(new QSystemTrayIcon(this)), events_(*this) {
  connect(tray_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
}

TrayIcon::~TrayIcon() {
  // The owner is being torn down: its handlers must not run any more.
  OnShow = OnHide = OnClick = OnDoubleClick = OnPopupMenu = nullptr;
  OnMouseDown = OnMouseUp = nullptr;
  SetVisible(false);
}

void TrayIcon::OnActivated(int reason) {
  switch (static_cast<QSystemTrayIcon::ActivationReason>(reason)) {
    case QSystemTrayIcon::Trigger:
      HandleTrayMessage(TrayMouseMessage::kLeftButtonDown);
      HandleTrayMessage(TrayMouseMessage::kLeftButtonUp);
      break;
    case QSystemTrayIcon::DoubleClick:
      HandleTrayMessage(TrayMouseMessage::kLeftButtonDoubleClick);
      HandleTrayMessage(TrayMouseMessage::kLeftButtonUp);
      break;
    case QSystemTrayIcon::Context:
      HandleTrayMessage(TrayMouseMessage::kRightButtonDown);
      HandleTrayMessage(TrayMouseMessage::kRightButtonUp);
      break;
    default:
      break;
  }
}

void TrayIcon::HandleTrayMessage(TrayMouseMessage message) {
  events_.Handle(message, enabled_);
}

void TrayIcon::SetPopupMenu(QMenu* menu) {
  if (!popupMenu_.isNull()) disconnect(popupMenu_, &QMenu::aboutToHide, this, nullptr);
  popupMenu_ = menu;
  // Hosts that speak StatusNotifierItem never send a right click: they show
  // the exported context menu themselves, so the menu must be that one.
  tray_->setContextMenu(menu);
  if (menu != nullptr) {
    connect(menu, &QMenu::aboutToHide, this, [this] { PopupMenuClosed(); });
  }
}

QMenu* TrayIcon::PopupMenu() const {
  return popupMenu_.data();
}

bool TrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
  if (!tray_->isVisible()) return false;
  tray_->showMessage(QString::fromStdString(title), QString::fromStdString(text),
                     QSystemTrayIcon::Information, 10000);
  return true;
}

bool TrayIcon::ShownInTray() const {
  return tray_->isVisible();
}

void TrayIcon::SetIcon(const QIcon& icon) {
  icon_ = icon;
  Refresh();
}

void TrayIcon::SetImageList(const std::vector<QIcon>* list) {
  imageList_ = list;
  RefreshFromImageList();
}

void TrayIcon::SetImageIndex(int index) {
  imageIndex_ = index;
  RefreshFromImageList();
}

void TrayIcon::RefreshFromImageList() {
  if (imageList_ == nullptr) return;
  icon_ = QIcon();
  if (imageIndex_ >= 0 && static_cast<std::size_t>(imageIndex_) < imageList_->size()) {
    icon_ = (*imageList_)[static_cast<std::size_t>(imageIndex_)];
  }
  Refresh();
}

void TrayIcon::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (visible) {
    ShowIcon();
  } else {
    HideIcon();
  }
}

void TrayIcon::SetHint(const std::string& hint) {
  hint_ = CutTrayHint(TranslateMessage(hint));
  Refresh();
}

void TrayIcon::AddToTaskbar() {
  tray_->setIcon(icon_);
  tray_->setToolTip(QString::fromStdString(hint_));
  // A desktop without a notification area, or an icon without a picture,
  // shows nothing; the state is kept for when it can.
  if (QSystemTrayIcon::isSystemTrayAvailable() && !icon_.isNull()) tray_->show();
}

void TrayIcon::DeleteFromTaskbar() {
  tray_->hide();
}

void TrayIcon::Refresh() {
  tray_->setIcon(icon_);
  tray_->setToolTip(QString::fromStdString(hint_));
  if (visible_ && !tray_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable() &&
      !icon_.isNull()) {
    tray_->show();
  }
}

void TrayIcon::ShowIcon() {
  AddToTaskbar();
  visible_ = true;
  if (OnShow) OnShow(this);
}

void TrayIcon::HideIcon() {
  DeleteFromTaskbar();
  visible_ = false;
  if (OnHide) OnHide(this);
}

TrayPointer TrayIcon::Pointer() {
  const QPoint at = QCursor::pos();
  const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
  TrayShiftState shift = TrayShiftState::kNone;
  if (keys & Qt::ShiftModifier) shift = shift | TrayShiftState::kShift;
  if (keys & Qt::AltModifier) shift = shift | TrayShiftState::kAlt;
  if (keys & Qt::ControlModifier) shift = shift | TrayShiftState::kCtrl;
  return {at.x(), at.y(), shift};
}

bool TrayIcon::PopupAtCursor() {
  // The desktop opens the context menu itself; OnPopupMenu follows its
  // closing (SetPopupMenu), not the click.
  return false;
}

void TrayIcon::MouseDown(TrayButton button, TrayShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TrayIcon::MouseUp(TrayButton button, TrayShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TrayIcon::Click() {
  if (OnClick) OnClick(this);
}

void TrayIcon::DoubleClick() {
  if (OnDoubleClick) OnDoubleClick(this);
}

void TrayIcon::PopupMenuClosed() {
  if (OnPopupMenu) OnPopupMenu(this);
}

}  // namespace varnoket
