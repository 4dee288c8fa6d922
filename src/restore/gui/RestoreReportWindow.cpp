#include "restore/gui/RestoreReportWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/ProductName.h"
#include "platform/gui/CentreOnScreen.h"

namespace varnoket {

RestoreReportWindow::RestoreReportWindow(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      label_(new QLabel(this)),
      messages_(new QPlainTextEdit(this)),
      closeButton_(new QPushButton(QStringLiteral("&Abandonner la restauration"), this)) {
  setObjectName(QStringLiteral("FormInfoRestaure"));
  setWindowTitle(QString::fromStdString(ProductTitle(kRestoreReportTopic)));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  // Shown without waiting while the restore window is modal: a window of
  // its own modality stays reachable above it, so the abort button is live.
  setWindowModality(Qt::ApplicationModal);

  label_->setObjectName(QStringLiteral("Label1"));
  label_->setText(QString::fromUtf8(
      "Ci dessous sont affichés les informations et messages d'erreurs survenant pendant la "
      "restauration"));

  messages_->setObjectName(QStringLiteral("MemoMsg"));
  messages_->setReadOnly(true);
  messages_->setLineWrapMode(QPlainTextEdit::NoWrap);
  messages_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  messages_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  closeButton_->setObjectName(QStringLiteral("BitBtnFermer"));
  closeButton_->setToolTip(QString::fromUtf8("Fermer la fenêtre"));
  closeButton_->setAutoDefault(false);
  connect(closeButton_, &QPushButton::clicked, this, &RestoreReportWindow::CloseWindow);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(closeButton_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(messages_, 1);
  layout->addLayout(buttons);
  resize(759, 399);
}

void RestoreReportWindow::Write(const std::string& line) {
  messages_->appendPlainText(QString::fromStdString(line));
  messages_->repaint();
}

std::string RestoreReportWindow::Text() const {
  return messages_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

void RestoreReportWindow::CloseWindow() {
  if (dialogs_.Warning(kAbortQuestion, DialogButtons::kOkCancel) != DialogAnswer::kOk) return;
  if (onAbort) onAbort();
  // hide(), not close(): close() would come back here through reject().
  hide();
}

void RestoreReportWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    messages_->clear();
    if (!centred_) {
      centred_ = true;
      CentreOnScreen(*this);
    }
  }
  QDialog::showEvent(event);
}

void RestoreReportWindow::reject() {
  CloseWindow();
}

void RestoreReportWindow::closeEvent(QCloseEvent* event) {
  // The decision is the abort question's; the window itself stays until then.
  event->ignore();
  if (isVisible()) CloseWindow();
}

}  // namespace varnoket
