#include "restore/gui/RestoreReportWindow.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/MessageText.h"
#include "platform/ProductName.h"
#include "platform/Translation.h"
#include "platform/gui/CentreOnScreen.h"
#include "platform/gui/NamedButton.h"

namespace varnoket {

RestoreReportWindow::RestoreReportWindow(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      label_(new QLabel(this)),
      messages_(new QPlainTextEdit(this)),
      closeButton_(new QPushButton(tr(kAbortCaption), this)),
      saveButton_(MakeButton(this, "BitBtnEnregistrer", tr("E&nregistrer..."),
                             tr("Enregistrer ces lignes dans un fichier texte"))) {
  setObjectName(QStringLiteral("FormInfoRestaure"));
  setWindowTitle(QString::fromStdString(ProductTitle(tr(kRestoreReportTopic).toStdString())));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  // Shown without waiting while the restore window is modal: a window of
  // its own modality stays reachable above it, so the abort button is live.
  setWindowModality(Qt::ApplicationModal);

  label_->setObjectName(QStringLiteral("Label1"));
  label_->setText(
      tr("Ci-dessous sont affichés les informations et messages d'erreurs survenant pendant la "
         "restauration"));

  messages_->setObjectName(QStringLiteral("MemoMsg"));
  messages_->setReadOnly(true);
  messages_->setLineWrapMode(QPlainTextEdit::NoWrap);
  messages_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  messages_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  closeButton_->setObjectName(QStringLiteral("BitBtnFermer"));
  closeButton_->setToolTip(tr("Fermer la fenêtre"));
  closeButton_->setAutoDefault(false);
  connect(closeButton_, &QPushButton::clicked, this, &RestoreReportWindow::CloseWindow);

  connect(saveButton_, &QPushButton::clicked, this, &RestoreReportWindow::SaveReport);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(saveButton_);
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
  messages_->appendPlainText(QString::fromStdString(TranslateMessage(line)));
  messages_->repaint();
}

std::string RestoreReportWindow::Text() const {
  return messages_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

void RestoreReportWindow::Begin() {
  running_ = true;
  closeButton_->setText(tr(kAbortCaption));
  closeButton_->setEnabled(true);
  messages_->clear();
  show();
}

void RestoreReportWindow::Finish() {
  running_ = false;
  closeButton_->setText(tr("&Fermer"));
  closeButton_->setEnabled(true);
}

void RestoreReportWindow::CloseWindow() {
  if (running_) {
    if (dialogs_.Warning(kAbortQuestion, DialogButtons::kOkCancel) != DialogAnswer::kOk) return;
    if (onAbort) onAbort();
    // The files under way end and report; the button comes back with the
    // run's end.
    closeButton_->setEnabled(false);
    return;
  }
  // hide(), not close(): close() would come back here through reject().
  hide();
}

void RestoreReportWindow::SaveReport() {
  std::string path;
  if (chooseSavePath) {
    path = chooseSavePath();
  } else {
    path = QFileDialog::getSaveFileName(this, tr("Enregistrer le compte rendu"),
                                        QStringLiteral("restauration.txt"), tr("Texte (*.txt)"))
               .toStdString();
  }
  if (!path.empty()) SaveTo(path);
}

bool RestoreReportWindow::SaveTo(const std::string& path) {
  QSaveFile file(QString::fromStdString(path));
  std::string text = Text();
  if (!text.empty()) text += "\r\n";
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.commit()) {
    dialogs_.Error(
        FillText(VK_TR_NOOP("Messages", "Impossible d'enregistrer le fichier (%s)"), {path}));
    return false;
  }
  return true;
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
