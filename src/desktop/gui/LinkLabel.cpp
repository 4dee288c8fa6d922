#include "desktop/gui/LinkLabel.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace varnoket {

namespace {

// Shared by all links: one timer (owned by the application, so it goes with
// it), the link it ticks for, and the pressed state.
QPointer<QTimer>& SharedTimer() {
  static QPointer<QTimer> timer;
  return timer;
}

QPointer<LinkLabel>& SharedOwner() {
  static QPointer<LinkLabel> owner;
  return owner;
}

bool& SharedPressed() {
  static bool pressed = false;
  return pressed;
}

bool ApplicationActive() {
  return QApplication::activeWindow() != nullptr;
}

}  // namespace

LinkLabel::LinkLabel(QWidget* parent)
    : QLabel(parent),
      colorURL_(0xFF, 0x00, 0x00),
      colorClick_(0x00, 0x00, 0x80),
      defaultColor_(0x00, 0x00, 0xFF) {
  SetFontColor(defaultColor_);
  setCursor(Qt::PointingHandCursor);
  // Moves without a button held must reach the label to re-arm the timer.
  setMouseTracking(true);
  SharedPressed() = false;
}

std::function<void(const std::string&)>& LinkLabel::Opener() {
  static std::function<void(const std::string&)> opener = [](const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::TolerantMode));
  };
  return opener;
}

QTimer* LinkLabel::HoverTimer() {
  QPointer<QTimer>& timer = SharedTimer();
  if (timer.isNull()) {
    timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer.data(), &QTimer::timeout, [] {
      if (LinkLabel* owner = SharedOwner().data()) owner->HoverTimerTick();
    });
  }
  return timer.data();
}

LinkLabel* LinkLabel::HoverTimerOwner() {
  return SharedOwner().data();
}

bool LinkLabel::Pressed() {
  return SharedPressed();
}

void LinkLabel::SetTimer(int ms) {
  timer_ = ms < 0 ? 0 : ms;
  if (QTimer* timer = SharedTimer().data()) timer->setInterval(timer_);
}

void LinkLabel::SetColorURL(const QColor& color) {
  if (color == colorURL_) return;
  colorURL_ = color;
  update();
}

void LinkLabel::SetColorClick(const QColor& color) {
  if (color == colorClick_) return;
  colorClick_ = color;
  update();
}

void LinkLabel::SetDefaultColor(const QColor& color) {
  if (color == defaultColor_) return;
  defaultColor_ = color;
  SetFontColor(color);
}

void LinkLabel::SetFontColor(const QColor& color) {
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, color);
  setPalette(colours);
}

QColor LinkLabel::FontColor() const {
  return palette().color(QPalette::WindowText);
}

void LinkLabel::ArmHoverTimer() {
  QTimer* timer = HoverTimer();
  timer->stop();
  SharedOwner() = this;
  timer->setInterval(timer_);
  // A zero interval would tick without pause; such a link is checked on
  // leaving instead.
  if (timer_ > 0) timer->start();
}

bool LinkLabel::UnderPoint(const QPoint& globalPos) const {
  return QApplication::widgetAt(globalPos) == this;
}

void LinkLabel::HoverTimerTick() {
  if (!UnderPoint(QCursor::pos())) SetFontColor(defaultColor_);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
  if (ApplicationActive()) SetFontColor(colorURL_);
  QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
  SetFontColor(defaultColor_);
  QLabel::leaveEvent(event);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
  if (!SharedPressed() && UnderPoint(event->globalPosition().toPoint()) && ApplicationActive()) {
    ArmHoverTimer();
    SetFontColor(colorURL_);
  }
  QLabel::mouseMoveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  if (UnderPoint(event->globalPosition().toPoint()) && ApplicationActive()) {
    ArmHoverTimer();
    SetFontColor(colorClick_);
    SharedPressed() = true;
  }
  QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  if (UnderPoint(event->globalPosition().toPoint()) && ApplicationActive()) {
    ArmHoverTimer();
    SharedPressed() = false;
    SetFontColor(defaultColor_);
  }
  QLabel::mouseReleaseEvent(event);
  if (rect().contains(event->position().toPoint())) Click();
}

void LinkLabel::Click() {
  emit clicked();
  if (urlType_ == UrlType::kNone) return;
  if (Opener()) Opener()(BuildURLAddress(urlType_, url_));
}

}  // namespace varnoket
