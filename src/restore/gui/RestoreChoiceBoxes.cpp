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

// The box's texts, marked for the catalogue's scanner: it only sees a text
// written where it is marked.
constexpr const char* kContext = "varnoket::DesktopExistingFilesQuestion";
constexpr const char* kTitle =
    QT_TRANSLATE_NOOP("varnoket::DesktopExistingFilesQuestion", "Restauration");
constexpr const char* kReplace =
    QT_TRANSLATE_NOOP("varnoket::DesktopExistingFilesQuestion", "&Remplacer");
constexpr const char* kKeepBoth =
    QT_TRANSLATE_NOOP("varnoket::DesktopExistingFilesQuestion", "&Garder les deux");
constexpr const char* kSkip =
    QT_TRANSLATE_NOOP("varnoket::DesktopExistingFilesQuestion", "&Ignorer");
constexpr const char* kCancel =
    QT_TRANSLATE_NOOP("varnoket::DesktopExistingFilesQuestion", "Annuler");

QString Tr(const char* text) {
  return QCoreApplication::translate(kContext, text);
}

}  // namespace

std::optional<ExistingFilePolicy> DesktopExistingFilesQuestion::Ask(size_t count) {
  QMessageBox box(QMessageBox::Warning,
                  QString::fromStdString(ProductTitle(Tr(kTitle).toStdString())),
                  QString::fromStdString(TranslateMessage(ExistingFilesQuestionText(count))),
                  QMessageBox::NoButton, parent_);
  QPushButton* replace = box.addButton(Tr(kReplace), QMessageBox::AcceptRole);
  QPushButton* keep = box.addButton(Tr(kKeepBoth), QMessageBox::AcceptRole);
  QPushButton* skip = box.addButton(Tr(kSkip), QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(Tr(kCancel), QMessageBox::RejectRole);
  box.setDefaultButton(keep);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == replace) return ExistingFilePolicy::kReplace;
  if (box.clickedButton() == keep) return ExistingFilePolicy::kKeepBoth;
  if (box.clickedButton() == skip) return ExistingFilePolicy::kSkip;
  return std::nullopt;
}

}  // namespace varnoket
