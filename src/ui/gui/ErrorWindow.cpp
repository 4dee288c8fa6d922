#include "ui/gui/ErrorWindow.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QTextEdit>
#include <QTextOption>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/ProductName.h"
#include "platform/Translation.h"
#include "platform/gui/CentreOnScreen.h"
#include "ui/gui/DisplayText.h"

namespace varnoket {

ErrorWindow::ErrorWindow(QWidget* parent)
    : QDialog(parent),
      messages_(new QTextEdit(this)),
      closeButton_(new QPushButton(tr("&Fermer"), this)),
      timeoutTimer_(new QTimer(this)) {
  setObjectName(QStringLiteral("FormError"));
  setWindowTitle(QString::fromStdString(ProductTitle(tr("ERREUR").toStdString())));
  setModal(false);

  messages_->setObjectName(QStringLiteral("MemoMsg"));
  messages_->setReadOnly(true);
  messages_->setAcceptRichText(false);
  messages_->setLineWrapMode(QTextEdit::WidgetWidth);
  messages_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  messages_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QTextOption centred = messages_->document()->defaultTextOption();
  centred.setAlignment(Qt::AlignHCenter);
  messages_->document()->setDefaultTextOption(centred);
  QFont bold = messages_->font();
  bold.setBold(true);
  messages_->setFont(bold);
  QPalette red = messages_->palette();
  red.setColor(QPalette::Text, Qt::red);
  messages_->setPalette(red);
  messages_->setMinimumSize(420, 160);

  closeButton_->setObjectName(QStringLiteral("BitBtnFermer"));
  closeButton_->setToolTip(tr("Fermer la fenêtre"));
  closeButton_->setAutoDefault(false);
  connect(closeButton_, &QPushButton::clicked, this, &ErrorWindow::CloseWindow);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(closeButton_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(messages_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  adjustSize();

  // Runs from creation on, independent of the showings, so an error shown
  // just before a tick disappears almost at once.
  timeoutTimer_->setObjectName(QStringLiteral("TimerTimeout"));
  timeoutTimer_->setInterval(kTimeoutMs);
  // A coarse timer may drift by a twentieth of its period (twelve seconds
  // here); the four minutes are a promise to the user.
  timeoutTimer_->setTimerType(Qt::PreciseTimer);
  connect(timeoutTimer_, &QTimer::timeout, this, &ErrorWindow::CloseAfterTimeout);
  timeoutTimer_->start();
}

void ErrorWindow::ShowError(const std::string& text) {
  // The default text option keeps the centring through each new text.
  messages_->setPlainText(ToDisplayText(TranslateMessage(text)));
  show();
  raise();
}

std::string ErrorWindow::Text() const {
  return FromDisplayText(messages_->toPlainText());
}

void ErrorWindow::CloseAfterTimeout() {
  close();
}

void ErrorWindow::CloseWindow() {
  close();
}

void ErrorWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && !centred_) {
    CentreOnScreen(*this);
    centred_ = true;
  }
  QDialog::showEvent(event);
}

}  // namespace varnoket
