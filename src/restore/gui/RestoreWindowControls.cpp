// The restore window's controls, their layout and their wiring: the day
// list and the search on top, the tree and the file list sharing the width
// and growing with the window, the run's buttons and destination below.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/ProductName.h"
#include "platform/gui/NamedButton.h"
#include "restore/gui/FileListItem.h"
#include "restore/gui/RestoreWindow.h"
#include "restore/gui/TriStateTreeView.h"

namespace varnoket {

namespace {

QString Q(const char* text) {
  return QString::fromUtf8(text);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(Q(name));
  return label;
}

// The size the window opens at; it may then be resized or maximised.
constexpr int kStartWidth = 760;
constexpr int kStartHeight = 460;

}  // namespace

void RestoreWindow::BuildControls() {
  setObjectName(QStringLiteral("FormRestaure"));
  setWindowTitle(QString::fromStdString(ProductTitle(tr(kRestoreTopic).toStdString())));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setSizeGripEnabled(true);

  dayLabel_ = MakeLabel(this, "Label1", tr("Choisissez la journée à restaurer ->"));
  dayCombo_ = new QComboBox(this);
  dayCombo_->setObjectName(QStringLiteral("VKComboJour"));
  dayCombo_->setEditable(false);
  dayCombo_->setMinimumWidth(120);
  dayLabel_->setBuddy(dayCombo_);
  BuildStoreChoice();

  BuildSearchControls();

  tickAllBox_ = new QCheckBox(tr("&Tout Restaurer"), this);
  tickAllBox_->setObjectName(QStringLiteral("VKCheckAll"));
  tickAllBox_->setToolTip(tr("Cocher la case pour tout restaurer"));
  tickAllBox_->setEnabled(false);
  changesButton_ =
      MakeButton(this, "BitBtnChangements", tr("C&hangements du jour"),
                 tr("Les fichiers sauvegardés ce jour et ceux disparus depuis la veille"));
  changesButton_->setEnabled(false);

  treeLabel_ = MakeLabel(this, "Label2", tr("Arborescence des Répertoires"));
  folderTree_ = new TriStateTreeView(this);
  folderTree_->setObjectName(QStringLiteral("TreeViewRepertoires"));
  folderTree_->setMinimumSize(200, 120);
  folderTree_->Tree().SetStateIgnore(kStateBlank);
  folderTree_->Tree().SetStateRecursion(true);
  folderTree_->SetCollapseRule([this] { return tickAllBox_->isChecked(); });

  filesLabel_ = MakeLabel(this, "Label3", tr("Fichiers (du répertoire sélectionné)"));
  fileList_ = new QTreeWidget(this);
  fileList_->setObjectName(QStringLiteral("CheckListFichiers"));
  fileList_->setRootIsDecorated(false);
  fileList_->setUniformRowHeights(true);
  fileList_->setHeaderLabels({tr("Nom"), tr("Taille"), tr("Date")});
  fileList_->header()->setSectionResizeMode(FileListItem::kName, QHeaderView::Stretch);
  fileList_->header()->setSectionResizeMode(FileListItem::kSize, QHeaderView::ResizeToContents);
  fileList_->header()->setSectionResizeMode(FileListItem::kDate, QHeaderView::ResizeToContents);
  fileList_->header()->setStretchLastSection(false);
  // No column sorts until the user clicks one: the list keeps the day's order.
  // A click on a column sorts by it, a second one the other way.
  fileList_->header()->setSectionsClickable(true);
  fileList_->header()->setSortIndicatorShown(true);
  fileList_->header()->setSortIndicator(-1, Qt::AscendingOrder);
  fileList_->setMinimumSize(150, 120);
  fileList_->setEnabled(false);
  auto* versions = new QAction(tr("&Versions du fichier..."), fileList_);
  versions->setObjectName(QStringLiteral("ActionVersions"));
  versions->setShortcuts({QKeySequence(Qt::Key_F7), QKeySequence(Qt::CTRL | Qt::Key_H)});
  versions->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  fileList_->addAction(versions);
  fileList_->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(versions, &QAction::triggered, this, &RestoreWindow::ShowVersions);

  restoreButton_ = MakeButton(this, "BitBtnRestaurer", tr("&Effectuer la restauration"),
                              tr("Démarrer la restauration"));
  restoreButton_->setEnabled(false);
  elsewhereBox_ = new QCheckBox(tr("dans un &autre dossier"), this);
  elsewhereBox_->setObjectName(QStringLiteral("VKCheckAutreDossier"));
  elsewhereBox_->setToolTip(tr("Recréer les éléments cochés sous un dossier à choisir"));
  destinationLabel_ = MakeLabel(this, "LabelDestination", tr(kInPlaceText));
  // Said beside the choice, since the whole recorded path is what people
  // might expect.
  elsewhereNote_ = MakeLabel(
      this, "LabelAutreDossier",
      tr("Chaque élément coché y va directement, sans le chemin de son dossier d'origine."));
  elsewhereNote_->setVisible(false);
  closeButton_ = MakeButton(this, "BitBtnFermer", tr("&Fermer"), tr("Fermer la fenêtre"));

  LayOutControls();
}

void RestoreWindow::BuildStoreChoice() {
  storeLabel_ = MakeLabel(this, "LabelDisque", tr("Disque :"));
  storeCombo_ = new QComboBox(this);
  storeCombo_->setObjectName(QStringLiteral("ComboDisque"));
  storeLabel_->setBuddy(storeCombo_);
  storeLabel_->setVisible(false);
  storeCombo_->setVisible(false);
}

void RestoreWindow::BuildSearchControls() {
  searchEdit_ = new QLineEdit(this);
  searchEdit_->setObjectName(QStringLiteral("VKEditRecherche"));
  searchEdit_->setPlaceholderText(tr("Nom de fichier (* et ? permis)"));
  searchEdit_->setToolTip(
      tr("Chercher des fichiers par leur nom, sans tenir compte des majuscules"));
  allDaysBox_ = new QCheckBox(tr("dans toutes les &journées"), this);
  allDaysBox_->setObjectName(QStringLiteral("VKCheckToutesJournees"));
  searchButton_ = MakeButton(this, "BitBtnRechercher", tr("&Rechercher"), tr("Chercher par nom"));
}

void RestoreWindow::LayOutControls() {
  auto* top = new QHBoxLayout;
  top->addWidget(searchEdit_, 1);
  top->addWidget(allDaysBox_);
  top->addWidget(searchButton_);
  top->addSpacing(16);
  top->addWidget(storeLabel_);
  top->addWidget(storeCombo_);
  top->addWidget(dayLabel_);
  top->addWidget(dayCombo_);
  auto* ticks = new QHBoxLayout;
  ticks->addWidget(tickAllBox_);
  ticks->addStretch();
  ticks->addWidget(changesButton_);
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
  buttons->addWidget(elsewhereBox_);
  buttons->addWidget(destinationLabel_, 1);
  buttons->addWidget(closeButton_);
  auto* note = new QHBoxLayout;
  note->addStretch();
  note->addWidget(elsewhereNote_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addLayout(top);
  layout->addLayout(ticks);
  layout->addLayout(band, 1);
  layout->addLayout(buttons);
  layout->addLayout(note);
  resize(kStartWidth, kStartHeight);
}

void RestoreWindow::ConnectControls() {
  connect(dayCombo_, &QComboBox::currentIndexChanged, this, &RestoreWindow::SelectDay);
  connect(storeCombo_, &QComboBox::currentIndexChanged, this, &RestoreWindow::ChooseStore);
  connect(folderTree_, &TriStateTreeView::nodeClicked, this,
          [this](StateTree::NodeId) { ShowFolderFiles(); });
  connect(fileList_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    if (column == FileListItem::kName) ToggleFile(static_cast<FileListItem*>(item)->FileIndex());
  });
  connect(fileList_->header(), &QHeaderView::sortIndicatorChanged, this,
          [this](int column, Qt::SortOrder order) {
            if (column >= 0) fileList_->sortItems(column, order);
          });
  connect(tickAllBox_, &QCheckBox::clicked, this, [this] { TickAll(); });
  connect(restoreButton_, &QPushButton::clicked, this, &RestoreWindow::StartRestore);
  connect(elsewhereBox_, &QCheckBox::clicked, this,
          [this](bool checked) { SetRestoreElsewhere(checked); });
  connect(searchButton_, &QPushButton::clicked, this, &RestoreWindow::Search);
  connect(searchEdit_, &QLineEdit::returnPressed, this, &RestoreWindow::Search);
  connect(changesButton_, &QPushButton::clicked, this, &RestoreWindow::ShowDayChanges);
  connect(closeButton_, &QPushButton::clicked, this, &RestoreWindow::CloseWindow);
}

}  // namespace varnoket
