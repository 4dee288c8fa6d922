#include "restore/gui/TFormInfoRestaure.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/gui/CentreOnScreen.h"

namespace varnoket {

TFormInfoRestaure::TFormInfoRestaure(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      label_(new QLabel(this)),
      memoMsg_(new QPlainTextEdit(this)),
      bitBtnFermer_(new QPushButton(QStringLiteral("&Abandonner la restauration"), this)) {
  setObjectName(QStringLiteral("FormInfoRestaure"));
  setWindowTitle(QString::fromUtf8(kInfoRestaureTitle));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  // Shown without waiting while the restore window is modal: a window of
  // its own modality stays reachable above it, so the abort button is live.
  setWindowModality(Qt::ApplicationModal);

  label_->setObjectName(QStringLiteral("Label1"));
  label_->setText(QString::fromUtf8(
      "Ci dessous sont affichés les informations et messages d'erreurs survenant pendant la "
      "restauration"));

  memoMsg_->setObjectName(QStringLiteral("MemoMsg"));
  memoMsg_->setReadOnly(true);
  memoMsg_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoMsg_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoMsg_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  bitBtnFermer_->setObjectName(QStringLiteral("BitBtnFermer"));
  bitBtnFermer_->setToolTip(QString::fromUtf8("Fermer la fenêtre"));
  bitBtnFermer_->setAutoDefault(false);
  connect(bitBtnFermer_, &QPushButton::clicked, this, &TFormInfoRestaure::ButtonFermerClick);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(bitBtnFermer_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(memoMsg_, 1);
  layout->addLayout(buttons);
  resize(759, 399);
}

void TFormInfoRestaure::Write(const std::string& line) {
  memoMsg_->appendPlainText(QString::fromStdString(line));
  memoMsg_->repaint();
}

std::string TFormInfoRestaure::Text() const {
  return memoMsg_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

void TFormInfoRestaure::ButtonFermerClick() {
  if (dialogs_.Warning(kAbortQuestion, DialogButtons::OkCancel) != DialogAnswer::Ok) return;
  if (onAbort) onAbort();
  // hide(), not close(): close() would come back here through reject().
  hide();
}

void TFormInfoRestaure::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    memoMsg_->clear();
    if (!centred_) {
      centred_ = true;
      CentreOnScreen(*this);
    }
  }
  QDialog::showEvent(event);
}

void TFormInfoRestaure::reject() {
  ButtonFermerClick();
}

void TFormInfoRestaure::closeEvent(QCloseEvent* event) {
  // The decision is the abort question's; the window itself stays until then.
  event->ignore();
  if (isVisible()) ButtonFermerClick();
}

}  // namespace varnoket
