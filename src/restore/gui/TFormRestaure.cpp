#include "restore/gui/TFormRestaure.h"

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
#include "platform/gui/CentreOnScreen.h"
#include "platform/gui/NamedButton.h"
#include "restore/DayFileTree.h"
#include "restore/RestoreRun.h"
#include "restore/RestoreSummary.h"
#include "restore/gui/TFormInfoRestaure.h"
#include "restore/gui/TStateTreeView.h"

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

TFormRestaure::TFormRestaure(RestoreWindowEnv env, TFormInfoRestaure& report, QWidget* parent)
    : QDialog(parent), env_(std::move(env)), report_(report) {
  BuildControls();
  report_.onAbort = [this] { restoreRunning_ = false; };
}

TFormRestaure::~TFormRestaure() {
  report_.onAbort = nullptr;
}

void TFormRestaure::BuildControls() {
  setObjectName(QStringLiteral("FormRestaure"));
  setWindowTitle(Q(kRestaureTitle));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  labelJour_ = MakeLabel(this, "Label1", "Choisissez la journée à restaurer ->");
  VKComboJour_ = new QComboBox(this);
  VKComboJour_->setObjectName(QStringLiteral("VKComboJour"));
  VKComboJour_->setEditable(false);
  VKComboJour_->setMinimumWidth(120);
  labelJour_->setBuddy(VKComboJour_);

  VKCheckAll_ = new QCheckBox(Q("&Tout Restaurer"), this);
  VKCheckAll_->setObjectName(QStringLiteral("VKCheckAll"));
  VKCheckAll_->setToolTip(Q("Cocher la case pour tout restaurer"));
  VKCheckAll_->setEnabled(false);

  labelArbre_ = MakeLabel(this, "Label2", "Arborescence des Répertoires");
  TreeViewRepertoires_ = new TStateTreeView(this);
  TreeViewRepertoires_->setObjectName(QStringLiteral("TreeViewRepertoires"));
  TreeViewRepertoires_->setMinimumSize(200, 120);
  TreeViewRepertoires_->Tree().SetStateIgnore(kStateBlank);
  TreeViewRepertoires_->Tree().SetStateRecursion(true);
  TreeViewRepertoires_->SetCollapseRule([this] { return VKCheckAll_->isChecked(); });

  labelFichiers_ = MakeLabel(this, "Label3", "Fichiers (du répertoire selectionné)");
  CheckListFichiers_ = new QListWidget(this);
  CheckListFichiers_->setObjectName(QStringLiteral("CheckListFichiers"));
  CheckListFichiers_->setSortingEnabled(false);
  CheckListFichiers_->setMinimumSize(150, 120);
  CheckListFichiers_->setEnabled(false);

  BitBtnRestaurer_ =
      MakeButton(this, "BitBtnRestaurer", "&Effectuer la restauration", "Démarrer la restauration");
  BitBtnRestaurer_->setEnabled(false);
  BitBtnFermer_ = MakeButton(this, "BitBtnFermer", "&Fermer", "Fermer la fenêtre");

  auto* top = new QHBoxLayout;
  top->addStretch();
  top->addWidget(labelJour_);
  top->addWidget(VKComboJour_);
  auto* band = new QGridLayout;
  band->addWidget(labelArbre_, 0, 0);
  band->addWidget(labelFichiers_, 0, 1);
  band->addWidget(TreeViewRepertoires_, 1, 0);
  band->addWidget(CheckListFichiers_, 1, 1);
  // The tree and the list share the width as 338 to 247.
  band->setColumnStretch(0, 338);
  band->setColumnStretch(1, 247);
  band->setRowStretch(1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtnRestaurer_);
  buttons->addStretch();
  buttons->addWidget(BitBtnFermer_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addLayout(top);
  layout->addWidget(VKCheckAll_);
  layout->addLayout(band, 1);
  layout->addLayout(buttons);
  setFixedSize(609, 355);

  connect(VKComboJour_, &QComboBox::currentIndexChanged, this, &TFormRestaure::VKComboJourChange);
  connect(TreeViewRepertoires_, &TStateTreeView::nodeClicked, this,
          [this](StateTree::NodeId) { TreeViewRepertoiresClick(); });
  connect(CheckListFichiers_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    CheckListFichiersClickCheck(CheckListFichiers_->row(item));
  });
  connect(VKCheckAll_, &QCheckBox::clicked, this, [this] { VKCheckAllClick(); });
  connect(BitBtnRestaurer_, &QPushButton::clicked, this, &TFormRestaure::BitBtnRestaurerClick);
  connect(BitBtnFermer_, &QPushButton::clicked, this, &TFormRestaure::BitBtnFermerClick);
}

void TFormRestaure::showEvent(QShowEvent* event) {
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
      FormShow();
    });
  }
}

void TFormRestaure::PostCloseRequest() {
  QTimer::singleShot(0, this, [this] { close(); });
}

void TFormRestaure::Pump() {
  if (env_.pump) {
    env_.pump();
  } else {
    QCoreApplication::processEvents();
  }
}

void TFormRestaure::FormShow() {
  const std::string root = env_.backupRoot ? env_.backupRoot() : std::string();
  if (root.empty()) {
    PostCloseRequest();
    return;
  }
  previousDayIndex_ = -1;
  {
    const QSignalBlocker blocker(VKComboJour_);
    VKComboJour_->setCurrentIndex(-1);
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
  const QSignalBlocker blocker(VKComboJour_);
  VKComboJour_->clear();
  for (const std::string& folder : dayFolders_) {
    VKComboJour_->addItem(QString::fromStdString(DayTextOfKey(DayKey(folder))));
  }
  VKComboJour_->setCurrentIndex(-1);
}

void TFormRestaure::VKComboJourChange(int index) {
  if (Busy()) {
    pendingDayIndex_ = index;
    return;
  }
  if (index == previousDayIndex_) return;
  if (index < 0 || static_cast<size_t>(index) >= dayFolders_.size() || !layout_) return;
  if (previousDayIndex_ != -1 &&
      env_.dialogs.Warning(kChangeDayQuestion, DialogButtons::OkCancel) != DialogAnswer::Ok) {
    const QSignalBlocker blocker(VKComboJour_);
    VKComboJour_->setCurrentIndex(previousDayIndex_);
    return;
  }
  previousDayIndex_ = index;
  LoadDay(index);
  ApplyDeferred();
}

void TFormRestaure::LoadDay(int index) {
  ClearFileList();
  ClearTree();
  SetDayControlsEnabled(false);
  TreeViewRepertoires_->ShowWaitNotice(Q(kWaitNotice));

  const std::string path =
      layout_->FileListPath(layout_->DayFolder(dayFolders_[static_cast<size_t>(index)]));
  loading_ = true;
  bool read = false;
  try {
    read = LoadDayFileList(env_.fs, path, TreeViewRepertoires_->Tree(), env_.rules,
                           [this] { Pump(); });
  } catch (const std::exception& e) {
    loading_ = false;
    // A bad record stops this day's load; the user may choose a day again.
    env_.dialogs.Error(e.what());
    ClearTree();
    previousDayIndex_ = -1;
    const QSignalBlocker blocker(VKComboJour_);
    VKComboJour_->setCurrentIndex(-1);
    return;
  }
  loading_ = false;
  if (!read) env_.dialogs.Error(UnreadableFileListText(path));

  TreeViewRepertoires_->Rebuild();
  TreeViewRepertoires_->expandAll();
  VKCheckAll_->setChecked(false);
  SetDayControlsEnabled(true);
  ClearFileList();
}

void TFormRestaure::ApplyDeferred() {
  if (closePending_) {
    closePending_ = false;
    pendingDayIndex_.reset();
    reject();
    return;
  }
  if (pendingDayIndex_) {
    const int index = *pendingDayIndex_;
    pendingDayIndex_.reset();
    VKComboJourChange(index);
  }
}

void TFormRestaure::SetDayControlsEnabled(bool enabled) {
  VKCheckAll_->setEnabled(enabled);
  TreeViewRepertoires_->setEnabled(enabled);
  BitBtnRestaurer_->setEnabled(enabled);
  CheckListFichiers_->setEnabled(enabled);
}

void TFormRestaure::ClearFileList() {
  const QSignalBlocker blocker(CheckListFichiers_);
  CheckListFichiers_->clear();
  listNode_ = StateTree::kNoNode;
}

void TFormRestaure::ClearTree() {
  TreeViewRepertoires_->Tree().Clear();
  TreeViewRepertoires_->Rebuild();
}

void TFormRestaure::TreeViewRepertoiresClick() {
  if (Busy()) return;
  StateTree& tree = TreeViewRepertoires_->Tree();
  if (tree.NodeCount() == 0) return;
  ClearFileList();
  const StateTree::NodeId node = TreeViewRepertoires_->SelectedNode();
  if (node == StateTree::kNoNode) return;
  const TInfoNodeList* files = tree.Files(node);
  if (files == nullptr) return;
  const QSignalBlocker blocker(CheckListFichiers_);
  listNode_ = node;
  for (const TInfoNode& info : *files) {
    auto* item = new QListWidgetItem(QString::fromStdString(ShownName(info.FullPath)));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(info.State == kStateTicked ? Qt::Checked : Qt::Unchecked);
    item->setData(Qt::UserRole, node);
    CheckListFichiers_->addItem(item);
  }
}

int32_t TFormRestaure::DirectoryStateFromList(StateTree::NodeId node) const {
  const StateTree& tree = TreeViewRepertoires_->Tree();
  int ticked = 0;
  for (int i = 0; i < CheckListFichiers_->count(); ++i) {
    if (CheckListFichiers_->item(i)->checkState() == Qt::Checked) ++ticked;
  }
  bool childAboveUnticked = false;
  bool childrenAllTicked = true;
  for (const StateTree::NodeId child : tree.Children(node)) {
    if (tree.State(child) > kStateUnticked) childAboveUnticked = true;
    if (tree.State(child) != kStateTicked) childrenAllTicked = false;
  }
  if (ticked == 0 && !childAboveUnticked) return kStateUnticked;
  if (ticked == CheckListFichiers_->count() && childrenAllTicked) return kStateTicked;
  return kStatePartly;
}

void TFormRestaure::CheckListFichiersClickCheck(int row) {
  if (Busy() || listNode_ == StateTree::kNoNode || row < 0) return;
  StateTree& tree = TreeViewRepertoires_->Tree();
  TInfoNodeList* files = tree.Files(listNode_);
  if (files == nullptr || static_cast<size_t>(row) >= files->size()) return;
  const QListWidgetItem* item = CheckListFichiers_->item(row);
  (*files)[static_cast<size_t>(row)].State =
      item->checkState() == Qt::Checked ? kStateTicked : kStateUnticked;
  // States 1 and 2 spread down and up; 3 marks this directory alone.
  tree.SetState(listNode_, DirectoryStateFromList(listNode_));
  TreeViewRepertoires_->RefreshStates();
}

void TFormRestaure::VKCheckAllClick() {
  if (Busy()) return;
  ClearFileList();
  const bool all = VKCheckAll_->isChecked();
  if (all) {
    TreeViewRepertoires_->collapseAll();
    StateTree& tree = TreeViewRepertoires_->Tree();
    // A copy: the top level does not change, but the loop must not depend on it.
    const std::vector<StateTree::NodeId> top = tree.Children(StateTree::kNoNode);
    for (const StateTree::NodeId node : top) tree.SetState(node, kStateTicked);
    TreeViewRepertoires_->RefreshStates();
  } else {
    TreeViewRepertoires_->expandAll();
  }
  TreeViewRepertoires_->setEnabled(!all);
  CheckListFichiers_->setEnabled(!all);
}

void TFormRestaure::BitBtnRestaurerClick() {
  if (Busy() || previousDayIndex_ < 0 || !layout_) return;
  if (env_.dialogs.Warning(kRestoreQuestion, DialogButtons::OkCancel) != DialogAnswer::Ok) return;

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
  ctx.report = [this](const std::string& line) { report_.Write(line); };
  ctx.pump = [this] { Pump(); };
  ctx.running = [this] { return restoreRunning_; };
  RestoreRunTotals totals;
  try {
    totals = RunRestore(TreeViewRepertoires_->Tree(), ctx);
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

void TFormRestaure::BitBtnFermerClick() {
  reject();
}

void TFormRestaure::reject() {
  if (Busy()) {
    closePending_ = true;
    return;
  }
  VKCheckAll_->setEnabled(false);
  ClearFileList();
  ClearTree();
  TreeViewRepertoires_->setEnabled(false);
  BitBtnRestaurer_->setEnabled(false);
  CheckListFichiers_->setEnabled(false);
  QDialog::reject();
}

}  // namespace varnoket
