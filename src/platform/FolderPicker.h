// The folder picker the user chooses a directory with (the backup root, a
// directory to back up). The window program shows the desktop's picker;
// tests answer from a script.
#pragma once

#include <string>

namespace varnoket {

class FolderPicker {
 public:
  virtual ~FolderPicker() = default;
  // The chosen folder as a file-system path, a picked symbolic link replaced
  // by what it points at; "" when the user cancelled. `newDialogStyle` lets
  // the user create a folder from the picker.
  virtual std::string BrowseForFolder(const std::string& title, bool newDialogStyle) = 0;
};

}  // namespace varnoket
