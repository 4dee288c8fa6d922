#include "restore/gui/RestoreChoiceBoxes.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/ProductName.h"
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

std::optional<ExistingFilePolicy> DesktopExistingFilesQuestion::Ask(size_t count) {
  QMessageBox box(QMessageBox::Warning, QString::fromStdString(ProductTitle("Restauration")),
                  QString::fromStdString(ExistingFilesQuestionText(count)), QMessageBox::NoButton,
                  parent_);
  QPushButton* replace = box.addButton(QString::fromUtf8("&Remplacer"), QMessageBox::AcceptRole);
  QPushButton* keep = box.addButton(QString::fromUtf8("&Garder les deux"), QMessageBox::AcceptRole);
  QPushButton* skip = box.addButton(QString::fromUtf8("&Ignorer"), QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(QString::fromUtf8("Annuler"), QMessageBox::RejectRole);
  box.setDefaultButton(keep);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == replace) return ExistingFilePolicy::kReplace;
  if (box.clickedButton() == keep) return ExistingFilePolicy::kKeepBoth;
  if (box.clickedButton() == skip) return ExistingFilePolicy::kSkip;
  return std::nullopt;
}

}  // namespace varnoket
