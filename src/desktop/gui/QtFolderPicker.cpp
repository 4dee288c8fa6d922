#include "desktop/gui/QtFolderPicker.h"

#include <utility>

#include "desktop/PickedFolder.h"
#include "desktop/gui/DisabledWindows.h"

namespace varnoket {

QtFolderPicker::QtFolderPicker(Dialogs& dialogs, Chooser chooser)
    : dialogs_(dialogs), chooser_(std::move(chooser)) {
  if (!chooser_) {
    chooser_ = [](const QString& title, QFileDialog::Options options) {
      return QFileDialog::getExistingDirectory(nullptr, title, QString(), options);
    };
  }
}

std::string QtFolderPicker::BrowseForFolder(const std::string& title, bool newDialogStyle) {
  // The link itself is handed back so that it is resolved here, one level,
  // as a picked shortcut is.
  QFileDialog::Options options = QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks;
  if (!newDialogStyle) options |= QFileDialog::ReadOnly;
  QString chosen;
  {
    DisabledWindows disabled;
    chosen = chooser_(QString::fromStdString(title), options);
  }
  return ResolvePickedFolder(DefaultFileSystem(), chosen.toStdString(), dialogs_);
}

}  // namespace varnoket
