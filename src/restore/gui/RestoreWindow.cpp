#include "restore/gui/RestoreWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <utility>

#include "engine/DayFolders.h"
#include "engine/InternalCheck.h"
#include "platform/ProductName.h"
#include "platform/gui/CentreOnScreen.h"
#include "platform/gui/NamedButton.h"
#include "restore/DayFileTree.h"
#include "restore/RestoreRun.h"
#include "restore/RestoreSummary.h"
#include "restore/gui/RestoreReportWindow.h"
#include "restore/gui/TriStateTreeView.h"

namespace varnoket {

namespace {

QString Q(const char* text) {
  return QString::fromUtf8(text);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
  auto* label = new QLabel(Q(caption), parent);
  label->setObjectName(Q(name));
  return label;
}

// The name an entry shows in the file list: what follows the last separator
// (or, in the Windows style, a drive's colon).
std::string ShownName(const std::string& fullPath) {
  const size_t cut = fullPath.find_last_of("\\/:");
  return cut == std::string::npos ? fullPath : fullPath.substr(cut + 1);
}

}  // namespace

std::string MissingStationFolderText(const std::string& stationFolder) {
  return "Le répertoire de sauvegarde de ce poste (" + stationFolder +
         ") n'existe pas ou à été supprimé ! Il n'y a rien a restaurer.";
}

std::string UnreadableFileListText(const std::string& path) {
  return "Impossible de lire le fichier (" + path + ")";
}

RestoreWindow::RestoreWindow(RestoreWindowEnv env, RestoreReportWindow& report, QWidget* parent)
    : QDialog(parent), env_(std::move(env)), report_(report) {
  BuildControls();
  report_.onAbort = [this] { restoreRunning_ = false; };
}

RestoreWindow::~RestoreWindow() {
  report_.onAbort = nullptr;
}

void RestoreWindow::BuildControls() {
  setObjectName(QStringLiteral("FormRestaure"));
  setWindowTitle(QString::fromStdString(ProductTitle(kRestoreTopic)));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  dayLabel_ = MakeLabel(this, "Label1", "Choisissez la journée à restaurer ->");
  dayCombo_ = new QComboBox(this);
  dayCombo_->setObjectName(QStringLiteral("VKComboJour"));
  dayCombo_->setEditable(false);
  dayCombo_->setMinimumWidth(120);
  dayLabel_->setBuddy(dayCombo_);

  tickAllBox_ = new QCheckBox(Q("&Tout Restaurer"), this);
  tickAllBox_->setObjectName(QStringLiteral("VKCheckAll"));
  tickAllBox_->setToolTip(Q("Cocher la case pour tout restaurer"));
  tickAllBox_->setEnabled(false);

  treeLabel_ = MakeLabel(this, "Label2", "Arborescence des Répertoires");
  folderTree_ = new TriStateTreeView(this);
  folderTree_->setObjectName(QStringLiteral("TreeViewRepertoires"));
  folderTree_->setMinimumSize(200, 120);
  folderTree_->Tree().SetStateIgnore(kStateBlank);
  folderTree_->Tree().SetStateRecursion(true);
  folderTree_->SetCollapseRule([this] { return tickAllBox_->isChecked(); });

  filesLabel_ = MakeLabel(this, "Label3", "Fichiers (du répertoire selectionné)");
  fileList_ = new QListWidget(this);
  fileList_->setObjectName(QStringLiteral("CheckListFichiers"));
  fileList_->setSortingEnabled(false);
  fileList_->setMinimumSize(150, 120);
  fileList_->setEnabled(false);

  restoreButton_ =
      MakeButton(this, "BitBtnRestaurer", "&Effectuer la restauration", "Démarrer la restauration");
  restoreButton_->setEnabled(false);
  closeButton_ = MakeButton(this, "BitBtnFermer", "&Fermer", "Fermer la fenêtre");

  auto* top = new QHBoxLayout;
  top->addStretch();
  top->addWidget(dayLabel_);
  top->addWidget(dayCombo_);
  auto* band = new QGridLayout;
  band->addWidget(treeLabel_, 0, 0);
  band->addWidget(filesLabel_, 0, 1);
  band->addWidget(folderTree_, 1, 0);
  band->addWidget(fileList_, 1, 1);
  // The tree and the list share the width as 338 to 247.
  band->setColumnStretch(0, 338);
  band->setColumnStretch(1, 247);
  band->setRowStretch(1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(restoreButton_);
  buttons->addStretch();
  buttons->addWidget(closeButton_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addLayout(top);
  layout->addWidget(tickAllBox_);
  layout->addLayout(band, 1);
  layout->addLayout(buttons);
  setFixedSize(609, 355);

  connect(dayCombo_, &QComboBox::currentIndexChanged, this, &RestoreWindow::SelectDay);
  connect(folderTree_, &TriStateTreeView::nodeClicked, this,
          [this](StateTree::NodeId) { ShowFolderFiles(); });
  connect(fileList_, &QListWidget::itemChanged, this,
          [this](QListWidgetItem* item) { ToggleFile(fileList_->row(item)); });
  connect(tickAllBox_, &QCheckBox::clicked, this, [this] { TickAll(); });
  connect(restoreButton_, &QPushButton::clicked, this, &RestoreWindow::StartRestore);
  connect(closeButton_, &QPushButton::clicked, this, &RestoreWindow::CloseWindow);
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

void RestoreWindow::Pump() {
  if (env_.pump) {
    env_.pump();
  } else {
    QCoreApplication::processEvents();
  }
}

void RestoreWindow::LoadDays() {
  const std::string root = env_.backupRoot ? env_.backupRoot() : std::string();
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
  if (!env_.fs.IsDirectory(stationFolder)) {
    env_.dialogs.Warning(MissingStationFolderText(stationFolder));
    PostCloseRequest();
    return;
  }

  std::vector<std::string> days = SortedDayFolders(env_.fs, env_.rules, stationFolder);
  if (days.empty()) {
    env_.dialogs.Warning(kNoDayText);
    PostCloseRequest();
    return;
  }
  dayFolders_ = std::move(days);
  const QSignalBlocker blocker(dayCombo_);
  dayCombo_->clear();
  for (const std::string& folder : dayFolders_) {
    dayCombo_->addItem(QString::fromStdString(DayTextOfKey(DayKey(folder))));
  }
  dayCombo_->setCurrentIndex(-1);
}

void RestoreWindow::SelectDay(int index) {
  if (Busy()) {
    pendingDayIndex_ = index;
    return;
  }
  if (index == previousDayIndex_) return;
  if (index < 0 || static_cast<size_t>(index) >= dayFolders_.size() || !layout_) return;
  if (previousDayIndex_ != -1 &&
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
  folderTree_->ShowWaitNotice(Q(kWaitNotice));

  const std::string path =
      layout_->FileListPath(layout_->DayFolder(dayFolders_[static_cast<size_t>(index)]));
  loading_ = true;
  bool read = false;
  try {
    read = LoadDayFileList(env_.fs, path, folderTree_->Tree(), env_.rules, [this] { Pump(); });
  } catch (const std::exception& e) {
    loading_ = false;
    // A bad record stops this day's load; the user may choose a day again.
    env_.dialogs.Error(e.what());
    ClearTree();
    previousDayIndex_ = -1;
    const QSignalBlocker blocker(dayCombo_);
    dayCombo_->setCurrentIndex(-1);
    return;
  }
  loading_ = false;
  if (!read) env_.dialogs.Error(UnreadableFileListText(path));

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
  for (const FileNode& info : *files) {
    auto* item = new QListWidgetItem(QString::fromStdString(ShownName(info.FullPath)));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(info.State == kStateTicked ? Qt::Checked : Qt::Unchecked);
    item->setData(Qt::UserRole, node);
    fileList_->addItem(item);
  }
}

int32_t RestoreWindow::DirectoryStateFromList(StateTree::NodeId node) const {
  const StateTree& tree = folderTree_->Tree();
  int ticked = 0;
  for (int i = 0; i < fileList_->count(); ++i) {
    if (fileList_->item(i)->checkState() == Qt::Checked) ++ticked;
  }
  bool childAboveUnticked = false;
  bool childrenAllTicked = true;
  for (const StateTree::NodeId child : tree.Children(node)) {
    if (tree.State(child) > kStateUnticked) childAboveUnticked = true;
    if (tree.State(child) != kStateTicked) childrenAllTicked = false;
  }
  if (ticked == 0 && !childAboveUnticked) return kStateUnticked;
  if (ticked == fileList_->count() && childrenAllTicked) return kStateTicked;
  return kStatePartly;
}

void RestoreWindow::ToggleFile(int row) {
  if (Busy() || listNode_ == StateTree::kNoNode || row < 0) return;
  StateTree& tree = folderTree_->Tree();
  FileNodeList* files = tree.Files(listNode_);
  if (files == nullptr || static_cast<size_t>(row) >= files->size()) return;
  const QListWidgetItem* item = fileList_->item(row);
  (*files)[static_cast<size_t>(row)].State =
      item->checkState() == Qt::Checked ? kStateTicked : kStateUnticked;
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

void RestoreWindow::StartRestore() {
  if (Busy() || previousDayIndex_ < 0 || !layout_) return;
  if (env_.dialogs.Warning(kRestoreQuestion, DialogButtons::kOkCancel) != DialogAnswer::kOk) return;

  if (env_.stopTimer) env_.stopTimer();
  restoreRunning_ = true;
  running_ = true;
  setEnabled(false);
  report_.show();
  restoredCount_ = 0;
  restoredBytes_ = 0;
  report_.Write(kStartText);

  RestoreRunContext ctx(env_.fs, *layout_, dayFolders_);
  ctx.dayIndex = static_cast<size_t>(previousDayIndex_);
  if (env_.workers) ctx.workers = env_.workers();
  RestoreRunTotals totals;
  try {
    totals = RunRestore(folderTree_->Tree(), ctx, *this);
  } catch (const std::exception& e) {
    // Nothing below is meant to throw; should it, the window still comes
    // back and the user hears of it.
    env_.dialogs.Error(e.what());
    ++totals.errors;
  }
  totals.aborted = totals.aborted || !restoreRunning_;
  restoredCount_ = totals.restoredCount;
  restoredBytes_ = totals.restoredBytes;

  const RestoreSummary summary = SummaryOf(totals);
  if (summary.warning) {
    env_.dialogs.Warning(summary.text);
  } else {
    env_.dialogs.Information(summary.text);
  }

  report_.hide();
  if (env_.startTimer) env_.startTimer();
  setEnabled(true);
  restoreRunning_ = false;
  running_ = false;
  ApplyDeferred();
}

void RestoreWindow::Report(const std::string& line) {
  report_.Write(line);
}

void RestoreWindow::ProcessMessages() {
  Pump();
}

bool RestoreWindow::StopRequested() const {
  return !restoreRunning_;
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
  ClearFileList();
  ClearTree();
  folderTree_->setEnabled(false);
  restoreButton_->setEnabled(false);
  fileList_->setEnabled(false);
  QDialog::reject();
}

}  // namespace varnoket
