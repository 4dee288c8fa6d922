// The desktop's folder picker: the user chooses a directory; a symbolic link
// picked in it stands for the folder it points at.
#pragma once

#include <QFileDialog>
#include <QString>
#include <functional>
#include <string>

#include "platform/Dialogs.h"
#include "platform/FolderPicker.h"

namespace varnoket {

class QtFolderPicker : public FolderPicker {
 public:
  // Shows the picker with the title and options and returns the chosen
  // folder, "" when cancelled.
  using Chooser = std::function<QString(const QString& title, QFileDialog::Options options)>;

  // `dialogs` reports a link that cannot be read. `chooser` stands in for
  // the picker window in tests.
  explicit QtFolderPicker(Dialogs& dialogs, Chooser chooser = {});

  // Every other window of the program is disabled while the picker is open.
  // Without `newDialogStyle` the picker cannot create a folder.
  std::string BrowseForFolder(const std::string& title, bool newDialogStyle) override;

 private:
  Dialogs& dialogs_;
  Chooser chooser_;
};

}  // namespace varnoket
