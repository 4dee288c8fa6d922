// The desktop's boxes for the restore window's two choices, used when the
// program gives the window none of its own: the folder to restore into, and
// what to do with destinations that already hold a different file.
#pragma once

#include <optional>
#include <string>

#include "platform/FolderPicker.h"
#include "restore/ExistingFilesQuestion.h"

class QWidget;

namespace varnoket {

class DesktopDestinationPicker : public FolderPicker {
 public:
  explicit DesktopDestinationPicker(QWidget* parent) : parent_(parent) {}
  std::string BrowseForFolder(const std::string& title, bool newDialogStyle) override;

 private:
  QWidget* parent_;
};

// A warning box with "Remplacer", "Garder les deux", "Ignorer" and "Annuler".
class DesktopExistingFilesQuestion : public ExistingFilesQuestion {
 public:
  explicit DesktopExistingFilesQuestion(QWidget* parent) : parent_(parent) {}
  std::optional<ExistingFilePolicy> Ask(size_t count) override;

 private:
  QWidget* parent_;
};

}  // namespace varnoket
