#include "restore/gui/RestoreWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <utility>

#include "engine/DayFolders.h"
#include "engine/InternalCheck.h"
#include "engine/StationReadLock.h"
#include "platform/MessageText.h"
#include "platform/ProductName.h"
#include "platform/ShownFormat.h"
#include "platform/Translation.h"
#include "platform/gui/CentreOnScreen.h"
#include "platform/gui/NamedButton.h"
#include "restore/DayFileTree.h"
#include "restore/RestoreRun.h"
#include "restore/RestoreSummary.h"
#include "restore/ShownValues.h"
#include "restore/gui/FileListItem.h"
#include "restore/gui/RestoreReportWindow.h"
#include "restore/gui/TriStateTreeView.h"

namespace varnoket {

namespace {

// The name an entry shows in the file list: what follows the last separator
// (or, in the Windows style, a drive's colon).
std::string ShownName(const std::string& fullPath) {
  const size_t cut = fullPath.find_last_of("\\/:");
  return cut == std::string::npos ? fullPath : fullPath.substr(cut + 1);
}

}  // namespace

std::string MissingStationFolderText(const std::string& stationFolder) {
  return FillText(VK_TR_NOOP("Messages",
                             "Le répertoire de sauvegarde de ce poste (%s) n'existe pas "
                             "ou a été supprimé ! Il n'y a rien à restaurer."),
                  {stationFolder});
}

std::string UnreadableFileListText(const std::string& path) {
  return FillText(VK_TR_NOOP("Messages", "Impossible de lire le fichier (%s)"), {path});
}

std::string DestinationNotAFolderText(const std::string& folder) {
  return FillText(VK_TR_NOOP("Messages",
                             "Le dossier de destination (%s) n'est pas un dossier : rien n'est "
                             "restauré. Choisissez un dossier."),
                  {folder});
}

std::string SharedDestinationText(const std::string& destination) {
  return FillText(VK_TR_NOOP("Messages",
                             "Deux éléments cochés iraient au même endroit (%s) : rien n'est "
                             "restauré. Restaurez-les en plusieurs fois."),
                  {destination});
}

std::string UnreadableLinesText(const std::vector<UnreadableLine>& lines) {
  // The first ones show what is wrong; the run's report names them all.
  constexpr size_t kShown = 5;
  std::string shown;
  for (size_t i = 0; i < lines.size() && i < kShown; ++i) {
    shown += "\r\n" + UnreadableLineText(lines[i]);
  }
  return FillText(VK_TR_NOOP("Messages",
                             "La liste de ce jour contient %s ligne(s) illisible(s) : ce "
                             "qu'elles décrivent ne peut pas être restauré."),
                  {std::to_string(lines.size())}) +
         shown;
}

std::string DestinationInStoreText(const std::string& folder, const std::string& root) {
  return FillText(VK_TR_NOOP("Messages",
                             "Le dossier de destination (%s) se trouve dans le dossier "
                             "des sauvegardes (%s) : choisissez un dossier en dehors."),
                  {folder, root});
}

RestoreWindow::RestoreWindow(RestoreWindowEnv env, RestoreReportWindow& report, QWidget* parent)
    : QDialog(parent), env_(std::move(env)), report_(report) {
  BuildControls();
  ConnectControls();
  report_.onAbort = [this] { restoreRunning_ = false; };
}

RestoreWindow::~RestoreWindow() {
  report_.onAbort = nullptr;
}

void RestoreWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  if (!centred_) {
    centred_ = true;
    CentreOnScreen(*this);
  }
  // The checks may show message boxes: they run once the window is up.
  if (!showQueued_) {
    showQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      showQueued_ = false;
      LoadDays();
    });
  }
}

void RestoreWindow::PostCloseRequest() {
  QTimer::singleShot(0, this, [this] { close(); });
}

std::string RestoreWindow::Root() const {
  if (!chosenRoot_.empty()) return chosenRoot_;
  return env_.backupRoot ? env_.backupRoot() : std::string();
}

void RestoreWindow::FillStoreChoice() {
  storesHere_ = env_.storesHere ? env_.storesHere() : decltype(storesHere_)();
  const auto chosen = std::find_if(storesHere_.begin(), storesHere_.end(),
                                   [this](const auto& store) { return store.second == Root(); });
  // The disk read before went away: the first one here, else the
  // configuration's.
  if (chosen == storesHere_.end())
    chosenRoot_ = storesHere_.empty() ? std::string() : storesHere_.front().second;
  const QSignalBlocker blocker(storeCombo_);
  storeCombo_->clear();
  for (const auto& [name, root] : storesHere_)
    storeCombo_->addItem(QString::fromStdString(name + " (" + root + ")"));
  storeCombo_->setCurrentIndex(
      chosen == storesHere_.end() ? 0 : static_cast<int>(chosen - storesHere_.begin()));
  storeLabel_->setVisible(storesHere_.size() > 1);
  storeCombo_->setVisible(storesHere_.size() > 1);
}

void RestoreWindow::ChooseStore(int index) {
  if (Busy() || index < 0 || static_cast<size_t>(index) >= storesHere_.size()) return;
  if (AnythingTicked() &&
      env_.dialogs.Warning(kChangeDayQuestion, DialogButtons::kOkCancel) != DialogAnswer::kOk) {
    FillStoreChoice();
    return;
  }
  chosenRoot_ = storesHere_[static_cast<size_t>(index)].second;
  LoadDays();
}

void RestoreWindow::LoadDays() {
  FillStoreChoice();
  const std::string root = Root();
  if (root.empty()) {
    PostCloseRequest();
    return;
  }
  previousDayIndex_ = -1;
  {
    const QSignalBlocker blocker(dayCombo_);
    dayCombo_->setCurrentIndex(-1);
  }
  ClearFileList();

  const std::string station = env_.stationName ? env_.stationName() : std::string();
  try {
    VARNOKET_CHECK(!station.empty(), kNoStationText);
  } catch (const InternalCheckError& e) {
    env_.dialogs.Error(e.what());
    return;
  }

  layout_.emplace(env_.rules, root, station);
  const std::string stationFolder = layout_->StationFolder();
  bool stationFolderThere = false;
  std::vector<std::string> days;
  const bool stillOpen = ReadStore([&] {
    stationFolderThere = env_.fs.IsDirectory(stationFolder);
    if (!stationFolderThere) return;
    // While the window is open no merge deletes a copy it may read: a
    // backup run leaves its merge to a later run. A merge under way is
    // waited for.
    readLock_ = LockStationForReading(env_.fs, *layout_, true);
    days = SortedDayFolders(env_.fs, env_.rules, stationFolder);
  });
  if (!stillOpen) return;
  if (!stationFolderThere) {
    env_.dialogs.Warning(MissingStationFolderText(stationFolder));
    PostCloseRequest();
    return;
  }
  if (days.empty()) {
    env_.dialogs.Warning(kNoDayText);
    PostCloseRequest();
    return;
  }
  dayFolders_ = std::move(days);
  {
    const QSignalBlocker blocker(dayCombo_);
    dayCombo_->clear();
    for (const std::string& folder : dayFolders_) {
      dayCombo_->addItem(QString::fromStdString(DayFolderText(folder)));
    }
    dayCombo_->setCurrentIndex(static_cast<int>(dayFolders_.size()) - 1);
  }
  // The newest day is the one people look for first: its tree is shown at
  // once. Only that day's list is read.
  SelectDay(static_cast<int>(dayFolders_.size()) - 1);
}

bool RestoreWindow::AnythingTicked() const {
  const StateTree& tree = folderTree_->Tree();
  // A tick anywhere shows in the state of its top-level node.
  for (const StateTree::NodeId node : tree.Children(StateTree::kNoNode)) {
    if (tree.State(node) >= kStateTicked) return true;
  }
  return false;
}

void RestoreWindow::SelectDay(int index) {
  if (Busy()) {
    pendingDayIndex_ = index;
    return;
  }
  if (index == previousDayIndex_) return;
  if (index < 0 || static_cast<size_t>(index) >= dayFolders_.size() || !layout_) return;
  // Nothing ticked, nothing to lose: the day changes without a question.
  if (previousDayIndex_ != -1 && AnythingTicked() &&
      env_.dialogs.Warning(kChangeDayQuestion, DialogButtons::kOkCancel) != DialogAnswer::kOk) {
    const QSignalBlocker blocker(dayCombo_);
    dayCombo_->setCurrentIndex(previousDayIndex_);
    return;
  }
  previousDayIndex_ = index;
  LoadDay(index);
  ApplyDeferred();
}

void RestoreWindow::LoadDay(int index) {
  ClearFileList();
  ClearTree();
  SetDayControlsEnabled(false);
  folderTree_->ShowWaitNotice(tr(kWaitNotice));

  const std::string dayFolder = layout_->DayFolder(dayFolders_[static_cast<size_t>(index)]);
  const std::string path = layout_->FileListPath(dayFolder);
  bool read = false;
  unreadable_.clear();
  std::optional<std::string> failure;
  // The view is disabled and shows the notice: nothing of the window reads
  // the tree while the work fills it.
  const bool stillOpen = ReadStore([&] {
    try {
      read = LoadDayFileList(
          env_.fs, path, folderTree_->Tree(), env_.rules, [this] { Pump(); },
          ReadDaySet(env_.fs, *layout_, dayFolder), &unreadable_);
    } catch (const std::exception& e) {
      failure = e.what();
    }
  });
  if (!stillOpen) return;
  if (failure) {
    // A bad record stops this day's load; the user may choose a day again.
    env_.dialogs.Error(*failure);
    ClearTree();
    previousDayIndex_ = -1;
    const QSignalBlocker blocker(dayCombo_);
    dayCombo_->setCurrentIndex(-1);
    return;
  }
  if (!read) env_.dialogs.Error(UnreadableFileListText(path));
  if (!unreadable_.empty()) env_.dialogs.Warning(UnreadableLinesText(unreadable_));

  folderTree_->Rebuild();
  folderTree_->expandAll();
  tickAllBox_->setChecked(false);
  SetDayControlsEnabled(true);
  ClearFileList();
}

void RestoreWindow::ApplyDeferred() {
  if (closePending_) {
    closePending_ = false;
    pendingDayIndex_.reset();
    reject();
    return;
  }
  if (pendingDayIndex_) {
    const int index = *pendingDayIndex_;
    pendingDayIndex_.reset();
    SelectDay(index);
  }
}

void RestoreWindow::SetDayControlsEnabled(bool enabled) {
  tickAllBox_->setEnabled(enabled);
  changesButton_->setEnabled(enabled);
  folderTree_->setEnabled(enabled);
  restoreButton_->setEnabled(enabled);
  fileList_->setEnabled(enabled);
}

void RestoreWindow::ClearFileList() {
  const QSignalBlocker blocker(fileList_);
  fileList_->clear();
  listNode_ = StateTree::kNoNode;
}

void RestoreWindow::ClearTree() {
  folderTree_->Tree().Clear();
  folderTree_->Rebuild();
}

void RestoreWindow::ShowFolderFiles() {
  if (Busy()) return;
  StateTree& tree = folderTree_->Tree();
  if (tree.NodeCount() == 0) return;
  ClearFileList();
  const StateTree::NodeId node = folderTree_->SelectedNode();
  if (node == StateTree::kNoNode) return;
  const FileNodeList* files = tree.Files(node);
  if (files == nullptr) return;
  const QSignalBlocker blocker(fileList_);
  listNode_ = node;
  QList<QTreeWidgetItem*> items;
  for (size_t i = 0; i < files->size(); ++i) {
    const FileNode& info = (*files)[i];
    const int64_t size = info.Content ? static_cast<uint32_t>(info.Content->size) : -1;
    auto* item = new FileListItem(
        static_cast<int>(i), QString::fromStdString(ShownName(info.FullPath)), size,
        QString::fromStdString(size < 0 ? "" : ByteSizeText(size, SizeStyle::kExact)),
        static_cast<uint32_t>(info.FileDate), QString::fromStdString(DosDateText(info.FileDate)));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(0, info.State == kStateTicked ? Qt::Checked : Qt::Unchecked);
    items.append(item);
  }
  fileList_->addTopLevelItems(items);
  const int column = fileList_->header()->sortIndicatorSection();
  if (column >= 0 && column < fileList_->columnCount()) {
    fileList_->sortItems(column, fileList_->header()->sortIndicatorOrder());
  }
}

int32_t RestoreWindow::DirectoryStateFromList(StateTree::NodeId node) const {
  const StateTree& tree = folderTree_->Tree();
  int ticked = 0;
  const int count = fileList_->topLevelItemCount();
  for (int i = 0; i < count; ++i) {
    if (fileList_->topLevelItem(i)->checkState(0) == Qt::Checked) ++ticked;
  }
  bool childAboveUnticked = false;
  bool childrenAllTicked = true;
  for (const StateTree::NodeId child : tree.Children(node)) {
    if (tree.State(child) > kStateUnticked) childAboveUnticked = true;
    if (tree.State(child) != kStateTicked) childrenAllTicked = false;
  }
  if (ticked == 0 && !childAboveUnticked) return kStateUnticked;
  if (ticked == count && childrenAllTicked) return kStateTicked;
  return kStatePartly;
}

void RestoreWindow::ToggleFile(int fileIndex) {
  if (Busy() || listNode_ == StateTree::kNoNode || fileIndex < 0) return;
  StateTree& tree = folderTree_->Tree();
  FileNodeList* files = tree.Files(listNode_);
  if (files == nullptr || static_cast<size_t>(fileIndex) >= files->size()) return;
  const FileListItem* item = nullptr;
  for (int i = 0; i < fileList_->topLevelItemCount() && item == nullptr; ++i) {
    const auto* candidate = static_cast<const FileListItem*>(fileList_->topLevelItem(i));
    if (candidate->FileIndex() == fileIndex) item = candidate;
  }
  if (item == nullptr) return;
  (*files)[static_cast<size_t>(fileIndex)].State =
      item->checkState(0) == Qt::Checked ? kStateTicked : kStateUnticked;
  // States 1 and 2 spread down and up; 3 marks this directory alone.
  tree.SetState(listNode_, DirectoryStateFromList(listNode_));
  folderTree_->RefreshStates();
}

void RestoreWindow::TickAll() {
  if (Busy()) return;
  ClearFileList();
  const bool all = tickAllBox_->isChecked();
  if (all) {
    folderTree_->collapseAll();
    StateTree& tree = folderTree_->Tree();
    // A copy: the top level does not change, but the loop must not depend on it.
    const std::vector<StateTree::NodeId> top = tree.Children(StateTree::kNoNode);
    for (const StateTree::NodeId node : top) tree.SetState(node, kStateTicked);
    folderTree_->RefreshStates();
  } else {
    folderTree_->expandAll();
  }
  folderTree_->setEnabled(!all);
  fileList_->setEnabled(!all);
}

void RestoreWindow::CloseWindow() {
  reject();
}

void RestoreWindow::reject() {
  if (Busy()) {
    closePending_ = true;
    return;
  }
  tickAllBox_->setEnabled(false);
  changesButton_->setEnabled(false);
  if (lastList_) lastList_->close();
  ClearFileList();
  ClearTree();
  folderTree_->setEnabled(false);
  restoreButton_->setEnabled(false);
  fileList_->setEnabled(false);
  readLock_ = StationReadLock();
  QDialog::reject();
}

}  // namespace varnoket
