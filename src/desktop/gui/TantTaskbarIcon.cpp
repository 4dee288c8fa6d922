#include "desktop/gui/TantTaskbarIcon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#include "desktop/TrayHint.h"

namespace varnoket {

TantTaskbarIcon::TantTaskbarIcon(QObject* parent)
    : QObject(parent), tray_(new QSystemTrayIcon(this)), events_(*this) {
  // The menu is opened by the component itself (not as the tray's context
  // menu) so that the menu, OnPopupMenu and the release come in that order.
  connect(tray_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
}

TantTaskbarIcon::~TantTaskbarIcon() {
  // The owner is being torn down: its handlers must not run any more.
  OnShow = OnHide = OnClick = OnDblClick = OnPopupMenu = nullptr;
  OnMouseDown = OnMouseUp = nullptr;
  SetVisible(false);
}

void TantTaskbarIcon::OnActivated(int reason) {
  switch (static_cast<QSystemTrayIcon::ActivationReason>(reason)) {
    case QSystemTrayIcon::Trigger:
      HandleTrayMessage(TrayMouseMessage::LeftButtonDown);
      HandleTrayMessage(TrayMouseMessage::LeftButtonUp);
      break;
    case QSystemTrayIcon::DoubleClick:
      HandleTrayMessage(TrayMouseMessage::LeftButtonDoubleClick);
      HandleTrayMessage(TrayMouseMessage::LeftButtonUp);
      break;
    case QSystemTrayIcon::Context:
      HandleTrayMessage(TrayMouseMessage::RightButtonDown);
      HandleTrayMessage(TrayMouseMessage::RightButtonUp);
      break;
    default:
      break;
  }
}

void TantTaskbarIcon::HandleTrayMessage(TrayMouseMessage message) {
  events_.Handle(message, enabled_);
}

void TantTaskbarIcon::SetPopupMenu(QMenu* menu) {
  popupMenu_ = menu;
}

QMenu* TantTaskbarIcon::PopupMenu() const {
  return popupMenu_.data();
}

bool TantTaskbarIcon::ShownInTray() const {
  return tray_->isVisible();
}

void TantTaskbarIcon::SetIcon(const QIcon& icon) {
  icon_ = icon;
  UpDate();
}

void TantTaskbarIcon::SetImageList(const std::vector<QIcon>* list) {
  imageList_ = list;
  RefreshFromImageList();
}

void TantTaskbarIcon::SetImageIndex(int index) {
  imageIndex_ = index;
  RefreshFromImageList();
}

void TantTaskbarIcon::RefreshFromImageList() {
  if (imageList_ == nullptr) return;
  icon_ = QIcon();
  if (imageIndex_ >= 0 && static_cast<std::size_t>(imageIndex_) < imageList_->size()) {
    icon_ = (*imageList_)[static_cast<std::size_t>(imageIndex_)];
  }
  UpDate();
}

void TantTaskbarIcon::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (visible) {
    ShowIcon();
  } else {
    HideIcon();
  }
}

void TantTaskbarIcon::SetHint(const std::string& hint) {
  hint_ = CutTrayHint(hint);
  UpDate();
}

void TantTaskbarIcon::AddToTaskbar() {
  tray_->setIcon(icon_);
  tray_->setToolTip(QString::fromStdString(hint_));
  // A desktop without a notification area, or an icon without a picture,
  // shows nothing; the state is kept for when it can.
  if (QSystemTrayIcon::isSystemTrayAvailable() && !icon_.isNull()) tray_->show();
}

void TantTaskbarIcon::DeleteFromTaskbar() {
  tray_->hide();
}

void TantTaskbarIcon::UpDate() {
  tray_->setIcon(icon_);
  tray_->setToolTip(QString::fromStdString(hint_));
  if (visible_ && !tray_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable() &&
      !icon_.isNull()) {
    tray_->show();
  }
}

void TantTaskbarIcon::ShowIcon() {
  AddToTaskbar();
  visible_ = true;
  if (OnShow) OnShow(this);
}

void TantTaskbarIcon::HideIcon() {
  DeleteFromTaskbar();
  visible_ = false;
  if (OnHide) OnHide(this);
}

TrayPointer TantTaskbarIcon::Pointer() {
  const QPoint at = QCursor::pos();
  const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
  TrayShiftState shift = TrayShiftState::None;
  if (keys & Qt::ShiftModifier) shift = shift | TrayShiftState::ssShift;
  if (keys & Qt::AltModifier) shift = shift | TrayShiftState::ssAlt;
  if (keys & Qt::ControlModifier) shift = shift | TrayShiftState::ssCtrl;
  return {at.x(), at.y(), shift};
}

bool TantTaskbarIcon::PopupAtCursor() {
  if (popupMenu_.isNull()) return false;
  popupMenu_->exec(QCursor::pos());
  return true;
}

void TantTaskbarIcon::MouseDown(TrayButton button, TrayShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TantTaskbarIcon::MouseUp(TrayButton button, TrayShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TantTaskbarIcon::Click() {
  if (OnClick) OnClick(this);
}

void TantTaskbarIcon::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TantTaskbarIcon::PopupMenuClosed() {
  if (OnPopupMenu) OnPopupMenu(this);
}

}  // namespace varnoket
