#include "restore/gui/RestoreChoiceBoxes.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/ProductName.h"
#include "platform/Translation.h"
#include "restore/RestoreCountsText.h"

namespace varnoket {

std::string DesktopDestinationPicker::BrowseForFolder(const std::string& title,
                                                      bool newDialogStyle) {
  QFileDialog::Options options = QFileDialog::ShowDirsOnly;
  if (!newDialogStyle) options |= QFileDialog::ReadOnly;
  const QString folder =
      QFileDialog::getExistingDirectory(parent_, QString::fromStdString(title), QString(), options);
  return folder.toStdString();
}

namespace {

QString Tr(const char* text) {
  return QCoreApplication::translate("varnoket::DesktopExistingFilesQuestion", text);
}

}  // namespace

std::optional<ExistingFilePolicy> DesktopExistingFilesQuestion::Ask(size_t count) {
  QMessageBox box(QMessageBox::Warning,
                  QString::fromStdString(ProductTitle(Tr("Restauration").toStdString())),
                  QString::fromStdString(TranslateMessage(ExistingFilesQuestionText(count))),
                  QMessageBox::NoButton, parent_);
  QPushButton* replace = box.addButton(Tr("&Remplacer"), QMessageBox::AcceptRole);
  QPushButton* keep = box.addButton(Tr("&Garder les deux"), QMessageBox::AcceptRole);
  QPushButton* skip = box.addButton(Tr("&Ignorer"), QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(Tr("Annuler"), QMessageBox::RejectRole);
  box.setDefaultButton(keep);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == replace) return ExistingFilePolicy::kReplace;
  if (box.clickedButton() == keep) return ExistingFilePolicy::kKeepBoth;
  if (box.clickedButton() == skip) return ExistingFilePolicy::kSkip;
  return std::nullopt;
}

}  // namespace varnoket
