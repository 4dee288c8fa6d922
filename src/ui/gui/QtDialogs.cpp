#include "ui/gui/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>
#include <utility>
#include <vector>

#include "platform/Translation.h"
#include "ui/gui/DisplayText.h"

namespace varnoket {

namespace {

struct BoxButton {
  QMessageBox::StandardButton standard;
  const char* caption;
  DialogAnswer answer;
};

DialogAnswer ShowBox(QMessageBox::Icon icon, const char* title, const std::string& text,
                     DialogButtons buttons) {
  // The box is tied to the active window as its transient owner (it stays
  // above it) rather than as a Qt child: the owner may be destroyed while the
  // box is open (a timer, a hand-over), and a child living on this stack
  // frame would then be deleted twice.
  QMessageBox box;
  box.setIcon(icon);
  box.setWindowTitle(QCoreApplication::translate("QtDialogs", title));
  // Paths and user input may look like markup; show them as they are.
  box.setTextFormat(Qt::PlainText);
  box.setText(ToDisplayText(TranslateMessage(text)));
  if (const QWidget* owner = QApplication::activeWindow()) {
    box.winId();  // creates the native window that carries the owner link
    if (box.windowHandle() != nullptr)
      box.windowHandle()->setTransientParent(owner->windowHandle());
  }

  std::vector<BoxButton> wanted;
  switch (buttons) {
    case DialogButtons::kOk:
      wanted = {{QMessageBox::Ok, QT_TRANSLATE_NOOP("QtDialogs", "OK"), DialogAnswer::kOk}};
      break;
    case DialogButtons::kOkCancel:
      wanted = {
          {QMessageBox::Ok, QT_TRANSLATE_NOOP("QtDialogs", "OK"), DialogAnswer::kOk},
          {QMessageBox::Cancel, QT_TRANSLATE_NOOP("QtDialogs", "Annuler"), DialogAnswer::kCancel}};
      break;
    case DialogButtons::kYesNo:
      wanted = {{QMessageBox::Yes, QT_TRANSLATE_NOOP("QtDialogs", "Oui"), DialogAnswer::kYes},
                {QMessageBox::No, QT_TRANSLATE_NOOP("QtDialogs", "Non"), DialogAnswer::kNo}};
      break;
  }
  std::vector<std::pair<QPushButton*, DialogAnswer>> made;
  for (const BoxButton& b : wanted) {
    QPushButton* button = box.addButton(b.standard);
    button->setText(QCoreApplication::translate("QtDialogs", b.caption));
    made.emplace_back(button, b.answer);
  }
  box.setDefaultButton(made.front().first);
  box.setEscapeButton(made.back().first);

  box.exec();
  const QAbstractButton* clicked = box.clickedButton();
  // Escape or the title bar's close box chose nothing: on two-button boxes
  // that must never mean "go on".
  DialogAnswer answer = RefusalOf(buttons);
  for (const auto& [button, meaning] : made) {
    if (button == clicked) answer = meaning;
  }
  return answer;
}

}  // namespace

DialogAnswer QtDialogs::Error(const std::string& text, DialogButtons buttons) {
  return ShowBox(QMessageBox::Critical, kErrorTitle, text, buttons);
}

DialogAnswer QtDialogs::Warning(const std::string& text, DialogButtons buttons) {
  return ShowBox(QMessageBox::Warning, kWarningTitle, text, buttons);
}

void QtDialogs::Information(const std::string& text) {
  ShowBox(QMessageBox::Information, kInformationTitle, text, DialogButtons::kOk);
}

void QtDialogs::Message(const std::string& text) {
  ShowBox(QMessageBox::NoIcon, kMessageTitle, text, DialogButtons::kOk);
}

}  // namespace varnoket
