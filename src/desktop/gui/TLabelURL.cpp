#include "desktop/gui/TLabelURL.h"

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

QPointer<TLabelURL>& SharedOwner() {
  static QPointer<TLabelURL> owner;
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

TLabelURL::TLabelURL(QWidget* parent)
    : QLabel(parent),
      colorURL_(0xFF, 0x00, 0x00),
      colorClick_(0x00, 0x00, 0x80),
      defautColor_(0x00, 0x00, 0xFF) {
  SetFontColor(defautColor_);
  setCursor(Qt::PointingHandCursor);
  // Moves without a button held must reach the label to re-arm the timer.
  setMouseTracking(true);
  SharedPressed() = false;
}

std::function<void(const std::string&)>& TLabelURL::Opener() {
  static std::function<void(const std::string&)> opener = [](const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::TolerantMode));
  };
  return opener;
}

QTimer* TLabelURL::HoverTimer() {
  QPointer<QTimer>& timer = SharedTimer();
  if (timer.isNull()) {
    timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer.data(), &QTimer::timeout, [] {
      if (TLabelURL* owner = SharedOwner().data()) owner->HoverTimerTick();
    });
  }
  return timer.data();
}

TLabelURL* TLabelURL::HoverTimerOwner() {
  return SharedOwner().data();
}

bool TLabelURL::Pressed() {
  return SharedPressed();
}

void TLabelURL::SetTimer(int ms) {
  timer_ = ms < 0 ? 0 : ms;
  if (QTimer* timer = SharedTimer().data()) timer->setInterval(timer_);
}

void TLabelURL::SetColorURL(const QColor& color) {
  if (color == colorURL_) return;
  colorURL_ = color;
  update();
}

void TLabelURL::SetColorClick(const QColor& color) {
  if (color == colorClick_) return;
  colorClick_ = color;
  update();
}

void TLabelURL::SetDefautColor(const QColor& color) {
  if (color == defautColor_) return;
  defautColor_ = color;
  SetFontColor(color);
}

void TLabelURL::SetFontColor(const QColor& color) {
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, color);
  setPalette(colours);
}

QColor TLabelURL::FontColor() const {
  return palette().color(QPalette::WindowText);
}

void TLabelURL::ArmHoverTimer() {
  QTimer* timer = HoverTimer();
  timer->stop();
  SharedOwner() = this;
  timer->setInterval(timer_);
  // A zero interval would tick without pause; such a link is checked on
  // leaving instead.
  if (timer_ > 0) timer->start();
}

bool TLabelURL::UnderPoint(const QPoint& globalPos) const {
  return QApplication::widgetAt(globalPos) == this;
}

void TLabelURL::HoverTimerTick() {
  if (!UnderPoint(QCursor::pos())) SetFontColor(defautColor_);
}

void TLabelURL::enterEvent(QEnterEvent* event) {
  if (ApplicationActive()) SetFontColor(colorURL_);
  QLabel::enterEvent(event);
}

void TLabelURL::leaveEvent(QEvent* event) {
  SetFontColor(defautColor_);
  QLabel::leaveEvent(event);
}

void TLabelURL::mouseMoveEvent(QMouseEvent* event) {
  if (!SharedPressed() && UnderPoint(event->globalPosition().toPoint()) && ApplicationActive()) {
    ArmHoverTimer();
    SetFontColor(colorURL_);
  }
  QLabel::mouseMoveEvent(event);
}

void TLabelURL::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  if (UnderPoint(event->globalPosition().toPoint()) && ApplicationActive()) {
    ArmHoverTimer();
    SetFontColor(colorClick_);
    SharedPressed() = true;
  }
  QLabel::mousePressEvent(event);
}

void TLabelURL::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  if (UnderPoint(event->globalPosition().toPoint()) && ApplicationActive()) {
    ArmHoverTimer();
    SharedPressed() = false;
    SetFontColor(defautColor_);
  }
  QLabel::mouseReleaseEvent(event);
  if (rect().contains(event->position().toPoint())) Click();
}

void TLabelURL::Click() {
  emit clicked();
  if (urlType_ == TURLType::None) return;
  if (Opener()) Opener()(BuildURLAddress(urlType_, url_));
}

}  // namespace varnoket
