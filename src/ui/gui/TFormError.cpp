#include "ui/gui/TFormError.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QTextEdit>
#include <QTextOption>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/gui/DisplayText.h"
#include "platform/gui/CentreOnScreen.h"

namespace varnoket {

TFormError::TFormError(QWidget* parent)
    : QDialog(parent),
      memoMsg_(new QTextEdit(this)),
      bitBtnFermer_(new QPushButton(QStringLiteral("&Fermer"), this)),
      timerTimeout_(new QTimer(this)) {
  setObjectName(QStringLiteral("FormError"));
  setWindowTitle(QStringLiteral("Varnoket - ERREUR"));
  setModal(false);

  memoMsg_->setObjectName(QStringLiteral("MemoMsg"));
  memoMsg_->setReadOnly(true);
  memoMsg_->setAcceptRichText(false);
  memoMsg_->setLineWrapMode(QTextEdit::WidgetWidth);
  memoMsg_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoMsg_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QTextOption centred = memoMsg_->document()->defaultTextOption();
  centred.setAlignment(Qt::AlignHCenter);
  memoMsg_->document()->setDefaultTextOption(centred);
  QFont bold = memoMsg_->font();
  bold.setBold(true);
  memoMsg_->setFont(bold);
  QPalette red = memoMsg_->palette();
  red.setColor(QPalette::Text, Qt::red);
  memoMsg_->setPalette(red);
  memoMsg_->setMinimumSize(420, 160);

  bitBtnFermer_->setObjectName(QStringLiteral("BitBtnFermer"));
  bitBtnFermer_->setToolTip(QStringLiteral("Fermer la fenêtre"));
  bitBtnFermer_->setAutoDefault(false);
  connect(bitBtnFermer_, &QPushButton::clicked, this, &TFormError::Button1Click);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(bitBtnFermer_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memoMsg_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  adjustSize();

  // Runs from creation on, independent of the showings, so an error shown
  // just before a tick disappears almost at once.
  timerTimeout_->setObjectName(QStringLiteral("TimerTimeout"));
  timerTimeout_->setInterval(kTimeoutMs);
  // A coarse timer may drift by a twentieth of its period (twelve seconds
  // here); the four minutes are a promise to the user.
  timerTimeout_->setTimerType(Qt::PreciseTimer);
  connect(timerTimeout_, &QTimer::timeout, this, &TFormError::TimerTimeoutTimer);
  timerTimeout_->start();
}

void TFormError::ShowError(const std::string& text) {
  // The default text option keeps the centring through each new text.
  memoMsg_->setPlainText(ToDisplayText(text));
  show();
  raise();
}

std::string TFormError::Text() const {
  return FromDisplayText(memoMsg_->toPlainText());
}

void TFormError::TimerTimeoutTimer() {
  close();
}

void TFormError::Button1Click() {
  close();
}

void TFormError::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && !centred_) {
    CentreOnScreen(*this);
    centred_ = true;
  }
  QDialog::showEvent(event);
}

}  // namespace varnoket
