// The restore window's views across days: a file's kept versions (restoring
// one), the search by name in the chosen day or in every day (opening a
// found file's folder), and what changed on the chosen day. Each opens a
// list window.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTreeWidget>

#include "platform/ProductName.h"
#include "platform/ShownFormat.h"
#include "restore/DayChanges.h"
#include "restore/ShownValues.h"
#include "restore/gui/FileListItem.h"
#include "restore/gui/RestoreWindow.h"
#include "restore/gui/TriStateTreeView.h"

namespace varnoket {

namespace {

std::string JoinedDays(const std::vector<std::string>& days) {
  std::string text;
  for (const std::string& day : days) text += (text.empty() ? "" : ", ") + DayFolderText(day);
  return text;
}

std::string UnreadableDaysLine(const std::vector<std::string>& days) {
  if (days.empty()) return "";
  return QCoreApplication::translate("varnoket::RestoreWindow",
                                     "\nListes illisibles (journées passées) : %1")
      .arg(QString::fromStdString(JoinedDays(days)))
      .toStdString();
}

}  // namespace

ListWindow* RestoreWindow::OpenListWindow(const char* objectName, const std::string& title,
                                          const std::vector<std::string>& columns,
                                          const QString& action) {
  if (lastList_) lastList_->close();
  lastList_ = new ListWindow(this, objectName, title, columns, action);
  lastList_->show();
  return lastList_;
}

ListWindow* RestoreWindow::LastListWindow() const {
  return lastList_;
}

std::string RestoreWindow::SelectedFilePath() const {
  const QTreeWidgetItem* current = fileList_->currentItem();
  const FileNodeList* files =
      listNode_ == StateTree::kNoNode ? nullptr : folderTree_->Tree().Files(listNode_);
  if (current == nullptr || files == nullptr) return "";
  const int index = static_cast<const FileListItem*>(current)->FileIndex();
  if (index < 0 || static_cast<size_t>(index) >= files->size()) return "";
  return (*files)[static_cast<size_t>(index)].FullPath;
}

void RestoreWindow::ShowVersions() {
  if (Busy() || !layout_) return;
  const std::string path = SelectedFilePath();
  if (path.empty()) {
    env_.dialogs.Information(kNoFileChosenText);
    return;
  }
  FileHistory history;
  if (!ReadStore([&] { history = FileVersions(env_.fs, *layout_, dayFolders_, path); })) return;
  ListWindow* list = OpenListWindow(
      "FormVersions",
      ProductTitle(tr("Versions de %1").arg(QString::fromStdString(path)).toStdString()),
      {tr("Journée").toStdString(), tr("Taille").toStdString(),
       tr("Date du fichier").toStdString()},
      tr("&Restaurer cette version"));
  std::string caption = tr("%1 version(s) conservée(s), chacune différente de la journée d'avant.")
                            .arg(static_cast<qulonglong>(history.versions.size()))
                            .toStdString();
  if (!history.folderDays.empty()) {
    caption += tr("\nCe chemin est un dossier les journées : %1")
                   .arg(QString::fromStdString(JoinedDays(history.folderDays)))
                   .toStdString();
  }
  list->SetCaption(caption + UnreadableDaysLine(history.unreadableDays));
  for (const FileVersion& v : history.versions) {
    list->AddRow({DayFolderText(v.dayFolder),
                  ByteSizeText(static_cast<uint32_t>(v.size), SizeStyle::kExact),
                  DosDateText(v.fileDate)});
  }
  list->onAction = [this, path, versions = history.versions](int row) {
    if (row < 0 || static_cast<size_t>(row) >= versions.size()) return;
    RestoreVersion(path, versions[static_cast<size_t>(row)]);
  };
}

void RestoreWindow::Search() {
  if (Busy() || !layout_ || dayFolders_.empty()) return;
  const std::string pattern = searchEdit_->text().trimmed().toStdString();
  if (pattern.empty()) return;
  const bool allDays = allDaysBox_->isChecked();
  if (!allDays && previousDayIndex_ < 0) {
    env_.dialogs.Information(kNoDayChosenText);
    return;
  }
  NameSearchResult found;
  const bool stillOpen = ReadStore([&] {
    if (allDays) {
      found = FindFilesInAllDays(env_.fs, *layout_, dayFolders_, pattern);
      return;
    }
    const std::string& day = dayFolders_[static_cast<size_t>(previousDayIndex_)];
    auto files = FindFilesInDay(env_.fs, *layout_, day, pattern);
    if (files) {
      found.files = std::move(*files);
    } else {
      found.unreadableDays.push_back(day);
    }
  });
  if (!stillOpen) return;
  ListWindow* list = OpenListWindow(
      "FormRecherche",
      ProductTitle(tr("Recherche de %1").arg(QString::fromStdString(pattern)).toStdString()),
      {tr("Nom").toStdString(), tr("Dossier").toStdString(), tr("Journée").toStdString(),
       tr("Taille").toStdString()},
      tr("&Afficher"));
  const auto count = static_cast<qulonglong>(found.files.size());
  const QString foundText =
      allDays ? tr("%1 fichier(s) trouvé(s) dans toutes les journées.").arg(count)
              : tr("%1 fichier(s) trouvé(s) le %2.")
                    .arg(count)
                    .arg(QString::fromStdString(DayFolderText(dayFolders_[previousDayIndex_])));
  list->SetCaption(foundText.toStdString() + UnreadableDaysLine(found.unreadableDays));
  for (const FoundFile& f : found.files) {
    const size_t slash = f.fullPath.rfind('/');
    const std::string name = slash == std::string::npos ? f.fullPath : f.fullPath.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? std::string()
                               : slash == 0               ? std::string("/")
                                                          : f.fullPath.substr(0, slash);
    list->AddRow({name, folder, DayFolderText(f.dayFolder),
                  ByteSizeText(static_cast<uint32_t>(f.size), SizeStyle::kExact)});
  }
  list->onAction = [this, list, files = found.files](int row) {
    if (row >= 0 && static_cast<size_t>(row) < files.size()) {
      OpenFound(files[static_cast<size_t>(row)]);
      // The file is shown in the tree: the results step aside from it.
      list->StayClearOf(*folderTree_);
    }
  };
}

void RestoreWindow::OpenFound(const FoundFile& file) {
  if (Busy()) return;
  int day = 0;
  while (static_cast<size_t>(day) < dayFolders_.size() && dayFolders_[day] != file.dayFolder) ++day;
  if (static_cast<size_t>(day) >= dayFolders_.size()) return;
  if (day != previousDayIndex_) {
    // The change of day asks, as from the day list, before ticks are lost.
    dayCombo_->setCurrentIndex(day);
    if (previousDayIndex_ != day) return;
  }
  if (tickAllBox_->isChecked()) return;  // the tree is closed while all is ticked
  const StateTree& tree = folderTree_->Tree();
  for (const StateTree::NodeId node : tree.PreOrder()) {
    const FileNodeList* files = tree.Files(node);
    if (files == nullptr) continue;
    for (size_t i = 0; i < files->size(); ++i) {
      if ((*files)[i].FullPath != file.fullPath) continue;
      QTreeWidgetItem* folder = folderTree_->ItemOf(node);
      folderTree_->setCurrentItem(folder);
      folderTree_->scrollToItem(folder);
      ShowFolderFiles();
      for (int row = 0; row < fileList_->topLevelItemCount(); ++row) {
        auto* item = static_cast<FileListItem*>(fileList_->topLevelItem(row));
        if (item->FileIndex() != static_cast<int>(i)) continue;
        fileList_->setCurrentItem(item);
        fileList_->scrollToItem(item);
      }
      return;
    }
  }
}

void RestoreWindow::ShowDayChanges() {
  if (Busy() || !layout_ || previousDayIndex_ < 0) return;
  const size_t index = static_cast<size_t>(previousDayIndex_);
  const std::string dayText = DayFolderText(dayFolders_[index]);
  std::optional<DayChanges> changes;
  if (!ReadStore([&] { changes = ChangesOfDay(env_.fs, *layout_, dayFolders_, index); })) return;
  ListWindow* list = OpenListWindow(
      "FormChangements",
      ProductTitle(tr("Changements du %1").arg(QString::fromStdString(dayText)).toStdString()),
      {tr("Changement").toStdString(), tr("Fichier").toStdString()}, QString());
  if (!changes) {
    list->SetCaption(
        tr("Impossible de lire les listes de fichiers de cette journée et de la veille.")
            .toStdString());
    return;
  }
  size_t stored = 0;
  for (const FileChange& c : changes->changes) {
    if (c.kind != ChangeKind::kRemoved) ++stored;
  }
  const auto removed = static_cast<qulonglong>(changes->changes.size() - stored);
  const QString day = QString::fromStdString(dayText);
  const QString caption =
      changes->previousDay.empty()
          ? tr("%1 fichier(s) sauvegardé(s) le %2, %3 disparu(s) (première journée conservée).")
                .arg(static_cast<qulonglong>(stored))
                .arg(day)
                .arg(removed)
          : tr("%1 fichier(s) sauvegardé(s) le %2, %3 disparu(s) depuis le %4.")
                .arg(static_cast<qulonglong>(stored))
                .arg(day)
                .arg(removed)
                .arg(QString::fromStdString(DayFolderText(changes->previousDay)));
  list->SetCaption(caption.toStdString());
  for (const FileChange& c : changes->changes) {
    const QString kind = c.kind == ChangeKind::kAdded     ? tr("Nouveau")
                         : c.kind == ChangeKind::kChanged ? tr("Modifié")
                                                          : tr("Disparu");
    list->AddRow({kind.toStdString(), c.fullPath});
  }
}

}  // namespace varnoket
