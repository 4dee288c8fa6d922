// The main window's two lists (folders to back up, exclusion filters) and
// the hidden-folders box: what the backup set holds, edited through
// BackupSetEditor, which decides what each may hold.
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "app/gui/MainWindow.h"
#include "platform/Translation.h"

namespace varnoket {

void MainWindow::RefreshDirectoryList() {
  directories_->clear();
  for (const auto& d : station_.directories) directories_->addItem(QString::fromStdString(d));
}

void MainWindow::RefreshExclusionList() {
  exclusions_->clear();
  for (const auto& f : station_.exclusions) exclusions_->addItem(QString::fromStdString(f));
  includeHidden_->setChecked(station_.includeHidden);
  const bool defaults = editor_.HasDefaultExclusions();
  defaultExclusionsLabel_->setVisible(defaults);
  dropDefaultsButton_->setVisible(defaults);
}

bool MainWindow::StoreTakesChanges() {
  // Each change is written to the station's file on the store at once, on
  // the window's thread: a store on a share that does not answer would
  // hold it.
  if (StoreAnswers()) return true;
  env_.dialogs.Message(VK_TR_NOOP("Messages",
                                  "Le disque des sauvegardes ne répond pas : la liste ne peut pas "
                                  "être modifiée pour le moment."));
  return false;
}

void MainWindow::DropDefaultExclusions() {
  if (!editor_.RootConfigured(BackupRoot()) || !StoreTakesChanges()) return;
  editor_.RemoveDefaultExclusions();
  RefreshExclusionList();
  editor_.Save();
}

void MainWindow::IncludeHiddenFoldersClicked(bool checked) {
  // A write that fails leaves the box as the file still says.
  if (!StoreTakesChanges() || !editor_.SetIncludeHidden(checked))
    includeHidden_->setChecked(station_.includeHidden);
}

void MainWindow::UpdateSaveNowButton() {
  saveNowButton_->setEnabled(!station_.backupDirectories.empty());
  saveNowButton_->repaint();
}

int MainWindow::UpdateHorizontalExtent() {
  const QFontMetrics metrics(directories_->font());
  int widest = 0;
  for (const auto& d : station_.directories) {
    widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(d + "x")));
  }
  horizontalExtent_ = widest;
  directories_->setHorizontalScrollBarPolicy(
      widest > directories_->viewport()->width() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
  return horizontalExtent_;
}

void MainWindow::ConfigurationSaved() {
  UpdateSaveNowButton();
  RefreshStatus();
}

void MainWindow::AddExclusion(const std::string& filter) {
  editor_.AddExclusion(filter);
  RefreshExclusionList();
  editor_.Save();
}

void MainWindow::AddBackupDirectory() {
  if (!StoreTakesChanges() || !editor_.AddDirectory(BackupRoot())) return;
  RefreshDirectoryList();
  UpdateHorizontalExtent();
  editor_.Save();
  UpdateSaveNowButton();
}

void MainWindow::RemoveBackupDirectory() {
  const int row = directories_->currentRow();
  if (row < 0 || directories_->currentItem() == nullptr ||
      !directories_->currentItem()->isSelected() || !StoreTakesChanges() ||
      !editor_.RemoveDirectory(static_cast<size_t>(row))) {
    return;
  }
  RefreshDirectoryList();
  UpdateHorizontalExtent();
  editor_.Save();
  UpdateSaveNowButton();
}

void MainWindow::AddExclusionFilter() {
  if (!editor_.RootConfigured(BackupRoot()) || !StoreTakesChanges()) return;
  if (otherWindows_.addExclusion != nullptr) otherWindows_.addExclusion->exec();
}

void MainWindow::RemoveExclusionFilter() {
  const int row = exclusions_->currentRow();
  if (row < 0 || exclusions_->currentItem() == nullptr ||
      !exclusions_->currentItem()->isSelected() || !StoreTakesChanges()) {
    return;
  }
  editor_.RemoveExclusion(static_cast<size_t>(row));
  RefreshExclusionList();
  editor_.Save();
}

}  // namespace varnoket
