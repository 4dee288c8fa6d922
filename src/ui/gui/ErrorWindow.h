// The error window: shows an error of a backup without blocking the program,
// and hides itself on the next tick of its four-minute timer so that an
// unattended workstation does not pile up stale errors.
#pragma once

#include <QDialog>
#include <string>

class QPushButton;
class QTextEdit;
class QTimer;

namespace varnoket {

class ErrorWindow : public QDialog {
  Q_OBJECT

 public:
  // The timer's period: an error stays up at most this long.
  static constexpr int kTimeoutMs = 240000;

  explicit ErrorWindow(QWidget* parent = nullptr);

  // Sets MemoMsg's text and shows the window without waiting (a second error
  // replaces the text). "\r\n" in the text are line breaks. The timer keeps
  // its own rhythm: showing does not restart it.
  void ShowError(const std::string& text);

  // MemoMsg's text as shown, lines joined with "\r\n" (for tests).
  std::string Text() const;

  // Each tick of TimerTimeout closes (hides) the window; nothing happens when
  // it is already hidden.
  void CloseAfterTimeout();
  // BitBtnFermer: closes (hides) the window.
  void CloseWindow();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QTextEdit* messages_;
  QPushButton* closeButton_;
  QTimer* timeoutTimer_;
  bool centred_ = false;
};

}  // namespace varnoket
