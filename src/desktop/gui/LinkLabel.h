// A text label that behaves as a hyperlink: it changes colour while the
// mouse is over it and while it is pressed, and a click hands its address to
// the desktop, which opens it with the user's default program (a browser, the
// mail program).
#pragma once

#include <QColor>
#include <QLabel>
#include <functional>
#include <string>

#include "desktop/UrlAddress.h"

class QTimer;

namespace varnoket {

class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(QWidget* parent = nullptr);

  // The hover timer's interval in ms (a negative value is kept as 0; at 0
  // the hover timer does not tick).
  void SetTimer(int ms);
  int Timer() const { return timer_; }
  // Font colour under the mouse (red by default).
  void SetColorURL(const QColor& color);
  QColor ColorURL() const { return colorURL_; }
  // Font colour while the left button is held on the label (navy).
  void SetColorClick(const QColor& color);
  QColor ColorClick() const { return colorClick_; }
  // Font colour at rest (blue); setting it also recolours the text at once.
  void SetDefaultColor(const QColor& color);
  QColor DefaultColor() const { return defaultColor_; }
  void SetURLType(UrlType type) { urlType_ = type; }
  UrlType URLType() const { return urlType_; }
  void SetURL(const std::string& url) { url_ = url; }
  std::string URL() const { return url_; }

  // The colour the text is drawn in now.
  void SetFontColor(const QColor& color);
  QColor FontColor() const;

  // What opens an address; by default the desktop's opener. Tests replace it.
  static std::function<void(const std::string&)>& Opener();

  // The hover timer shared by every link of the program, and the link whose
  // check its next tick runs (null when none armed it yet).
  static QTimer* HoverTimer();
  static LinkLabel* HoverTimerOwner();
  // Whether the left button is held on a link (shared by all links).
  static bool Pressed();

  // The hover timer's check: back to the colour at rest once the cursor has
  // left this link.
  void HoverTimerTick();

 signals:
  // Raised on every click, before the address is opened.
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ArmHoverTimer();
  bool UnderPoint(const QPoint& globalPos) const;
  void Click();

  int timer_ = 100;
  QColor colorURL_;
  QColor colorClick_;
  QColor defaultColor_;
  UrlType urlType_ = UrlType::kHttp;
  std::string url_;
};

}  // namespace varnoket
