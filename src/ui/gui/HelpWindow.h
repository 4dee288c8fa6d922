// The help window: shows the French user guide compiled into the program as
// the resource ":/RTFHELP", reloaded at each showing so it always opens at the
// top of a fresh copy.
#pragma once

#include <QDialog>

class QPushButton;
class QTextBrowser;

namespace varnoket {

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  // The resource that holds the guide.
  static constexpr const char* kGuideResource = ":/RTFHELP";

  explicit HelpWindow(QWidget* parent = nullptr);

  // Brings the window to the front when visible, else shows it (and the show
  // loads the guide from the resource :/RTFHELP into RichEdit1).
  void ShowHelp();

  // Loads the guide into RichEdit1, replacing what it held.
  void LoadGuide();
  // RichEdit1 fills the client area but for the button's row; the button sits
  // 2 pixels from the right and bottom edges.
  void LayOutControls();
  // BitBtnFermer: closes (hides) the window.
  void CloseWindow();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QTextBrowser* guideText_;
  QPushButton* closeButton_;
  bool centred_ = false;
};

}  // namespace varnoket
