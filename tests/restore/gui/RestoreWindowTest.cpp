// The restore window over real backups made by the engine: its controls,
// the opening checks, the day list, and ticks between the tree and the file
// list.

#include <QLabel>
#include <cstdio>
#include <set>

#include "RestoreWindowFixture.h"

namespace varnoket {
namespace {

TEST_F(RestoreWindowTest, ControlsAndTheirTexts) {
  MakeTwoDays();
  Open();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Varnoket - Restauration"));

  EXPECT_EQ(CheckAll()->text(), QStringLiteral("&Tout Restaurer"));
  EXPECT_EQ(CheckAll()->toolTip(), QStringLiteral("Cocher la case pour tout restaurer"));
  EXPECT_EQ(RestoreButton()->text(), QStringLiteral("&Effectuer la restauration"));
  EXPECT_EQ(RestoreButton()->toolTip(), QString::fromUtf8("Démarrer la restauration"));
  auto* closeButton = Find<QPushButton>("BitBtnFermer");
  ASSERT_NE(closeButton, nullptr);
  EXPECT_EQ(closeButton->text(), QStringLiteral("&Fermer"));
  EXPECT_NE(Find<TriStateTreeView>("TreeViewRepertoires"), nullptr);
  // The newest day is chosen at once, its tree shown, without a question.
  EXPECT_EQ(Combo()->currentIndex(), 1);
  EXPECT_EQ(form->PreviousDayIndex(), 1);
  EXPECT_NE(Node(Docs() + "/trois"), StateTree::kNoNode);
  EXPECT_TRUE(CheckAll()->isEnabled());
  EXPECT_TRUE(List()->isEnabled());
  EXPECT_TRUE(RestoreButton()->isEnabled());
  EXPECT_TRUE(dialogs.calls().empty());
  // The note on restoring elsewhere shows only once it is chosen.
  EXPECT_FALSE(Find<QLabel>("LabelAutreDossier")->isVisible());

  EXPECT_EQ(report.windowTitle(), QStringLiteral("Varnoket - Informations sur la restauration"));
  auto* abort = report.findChild<QPushButton*>(QStringLiteral("BitBtnFermer"));
  ASSERT_NE(abort, nullptr);
  EXPECT_EQ(abort->text(), QStringLiteral("&Abandonner la restauration"));
}

TEST_F(RestoreWindowTest, OpeningChecksWarnAndClose) {
  // No root: the window closes without a word.
  root.clear();
  Open();
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(dialogs.calls().empty());

  // No station name: the internal check, and the window stays.
  root = store.root;
  station.clear();
  Open();
  ASSERT_EQ(dialogs.Count(DialogKind::Error), 1u);
  EXPECT_EQ(dialogs.Texts(DialogKind::Error)[0].rfind(
                "NomPCReseau non défini dans restauration ! (RestoreWindow.cpp, ligne ", 0),
            0u);
  EXPECT_TRUE(form->isVisible());

  // A station that never backed up here.
  dialogs.Clear();
  station = "AUTRE";
  Open();
  EXPECT_EQ(dialogs.Texts(DialogKind::Warning),
            std::vector<std::string>{"Le répertoire de sauvegarde de ce poste (" + store.root +
                                     "/AUTRE) n'existe pas ou a été supprimé ! Il n'y a rien à "
                                     "restaurer."});
  EXPECT_FALSE(form->isVisible());

  // The station folder exists (its settings file) but holds no day yet.
  dialogs.Clear();
  station = store.stationName;
  fsys::create_directories(store.root + "/" + station + "/2024");
  fsys::create_directories(store.root + "/" + station + "/05052005");  // no file list
  Open();
  EXPECT_EQ(dialogs.Texts(DialogKind::Warning),
            std::vector<std::string>{"Aucune sauvegarde n'a encore été effectuée pour ce poste ! "
                                     "Il n'y a rien à restaurer."});
  EXPECT_FALSE(form->isVisible());
}

TEST_F(RestoreWindowTest, DaysInDateOrderAndAConfirmedChangeOfDay) {
  // By name 01012024 comes first; by date 31/12/2023 does.
  store.Write("docs/a.txt", "a");
  store.SetDay(31, 12, 2023);
  ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
  store.Write("docs/b.txt", "b");
  store.SetDay(1, 1, 2024);
  ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
  fsys::create_directories(store.root + "/" + station + "/1501202a");
  WriteFile(store.root + "/" + station + "/1501202a/filelist.txt", "");
  Open();
  ASSERT_EQ(Combo()->count(), 2);
  EXPECT_EQ(Combo()->itemText(0), QStringLiteral("31/12/2023"));
  EXPECT_EQ(Combo()->itemText(1), QStringLiteral("01/01/2024"));
  EXPECT_EQ(form->DayFolders(), (std::vector<std::string>{"31122023", "01012024"}));

  // The newest day is shown at the opening; with nothing ticked, another
  // day and back again ask nothing.
  EXPECT_EQ(form->PreviousDayIndex(), 1);
  Combo()->setCurrentIndex(0);
  EXPECT_EQ(form->PreviousDayIndex(), 0);
  Combo()->setCurrentIndex(1);
  EXPECT_TRUE(dialogs.calls().empty());
  EXPECT_EQ(form->PreviousDayIndex(), 1);
  EXPECT_TRUE(CheckAll()->isEnabled());
  EXPECT_TRUE(RestoreButton()->isEnabled());
  EXPECT_TRUE(List()->isEnabled());
  Click(Docs());
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"a.txt", "b.txt"}));
  Tick(0);
  Tick(1);
  ASSERT_EQ(Tree().State(Node(Docs())), kStateTicked);

  // Choosing the day shown asks nothing.
  Combo()->setCurrentIndex(1);
  form->SelectDay(1);
  EXPECT_TRUE(dialogs.calls().empty());

  // Cancel keeps the day, the tree and its ticks.
  dialogs.QueueAnswer(DialogAnswer::kCancel);
  Combo()->setCurrentIndex(0);
  ASSERT_EQ(dialogs.calls().size(), 1u);
  EXPECT_EQ(
      dialogs.calls()[0].text,
      "ATTENTION vous allez perdre vos sélections si vous en avez effectué ! Confirmez-vous ?");
  EXPECT_EQ(dialogs.calls()[0].buttons, DialogButtons::kOkCancel);
  EXPECT_EQ(Combo()->currentIndex(), 1);
  EXPECT_EQ(form->PreviousDayIndex(), 1);
  EXPECT_EQ(Tree().State(Node(Docs())), kStateTicked);

  // OK shows the other day with every tick gone.
  Combo()->setCurrentIndex(0);
  EXPECT_EQ(dialogs.calls().size(), 2u);
  EXPECT_EQ(form->PreviousDayIndex(), 0);
  Click(Docs());
  EXPECT_EQ(ListNames(), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(Tree().State(Node(Docs())), kStateUnticked);
  EXPECT_EQ(List()->topLevelItem(0)->checkState(0), Qt::Unchecked);
}

TEST_F(RestoreWindowTest, TickingFilesSetsTheDirectoryAndItsAncestors) {
  MakeTwoDays();
  Open();
  Combo()->setCurrentIndex(1);
  const std::string trois = Docs() + "/trois";
  Click(trois);
  ASSERT_EQ(ListNames(), (std::vector<std::string>{"1", "2", "3"}));

  Tick(1);
  EXPECT_EQ(Tree().State(Node(trois)), kStatePartly);
  EXPECT_EQ(Tree().State(Node(Docs())), kStateUnticked);  // set on the directory alone
  EXPECT_EQ(Tree().Files(Node(trois))->at(1).State, kStateTicked);

  Tick(0);
  Tick(2);
  EXPECT_EQ(Tree().State(Node(trois)), kStateTicked);
  EXPECT_EQ(Tree().State(Node(Docs())), kStatePartly);  // recomputed upward

  // The list shows the ticks kept in the tree when the directory is shown again.
  Click(Docs());
  Click(trois);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(List()->topLevelItem(i)->checkState(0), Qt::Checked);

  for (int i = 0; i < 3; ++i) Tick(i, false);
  EXPECT_EQ(Tree().State(Node(trois)), kStateUnticked);
  EXPECT_EQ(Tree().State(Node(Docs())), kStateUnticked);

  // A directory with a ticked subdirectory and no ticked file of its own is partly ticked.
  Click(trois);
  Tick(0);
  Tick(1);
  Tick(2);
  Click(Docs());
  Tick(0);
  Tick(0, false);
  EXPECT_EQ(Tree().State(Node(Docs())), kStatePartly);
}

TEST_F(RestoreWindowTest, TickAllAndTheCollapseRule) {
  MakeTwoDays();
  Open();
  Combo()->setCurrentIndex(1);
  TriStateTreeView& view = form->TreeView();
  QTreeWidgetItem* docsItem = view.ItemOf(Node(Docs()));
  ASSERT_NE(docsItem, nullptr);
  ASSERT_TRUE(docsItem->isExpanded());
  // Unticked: no branch may collapse.
  view.collapseItem(docsItem);
  Settle();
  EXPECT_TRUE(docsItem->isExpanded());

  Click(Docs());
  ASSERT_GT(List()->topLevelItemCount(), 0);
  CheckAll()->click();
  ASSERT_TRUE(CheckAll()->isChecked());
  EXPECT_EQ(List()->topLevelItemCount(), 0);
  EXPECT_FALSE(view.isEnabled());
  EXPECT_FALSE(List()->isEnabled());
  EXPECT_FALSE(view.ItemOf(Node("/"))->isExpanded());
  for (const auto node : Tree().PreOrder()) {
    EXPECT_EQ(Tree().State(node), kStateTicked) << Tree().Text(node);
    if (const FileNodeList* files = Tree().Files(node)) {
      for (const FileNode& f : *files) EXPECT_EQ(f.State, kStateTicked) << f.FullPath;
    }
  }

  CheckAll()->click();
  ASSERT_FALSE(CheckAll()->isChecked());
  EXPECT_TRUE(view.isEnabled());
  EXPECT_TRUE(List()->isEnabled());
  EXPECT_TRUE(view.ItemOf(Node(Docs()))->isExpanded());
  EXPECT_EQ(Tree().State(Node(Docs())), kStateTicked);  // ticks kept
}

}  // namespace
}  // namespace varnoket

namespace varnoket {
namespace {

TEST_F(RestoreWindowTest, OfAHundredDaysTheNewestIsShownAtOnceAndOnlyItsListRead) {
  store.Write("docs/a.txt", "a");
  store.SetDay(1, 1, 2006);
  ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
  // Ninety-nine older days, each with a list of its own.
  const std::string stationFolder = store.root + "/" + station;
  const std::string list = ReadFile(stationFolder + "/01012006/filelist.txt");
  for (int i = 0; i < 99; ++i) {
    char folder[9];
    std::snprintf(folder, sizeof folder, "%02d%02d2005", 1 + i % 28, 1 + i / 28);
    WriteFile(stationFolder + "/" + folder + "/filelist.txt", list);
  }
  std::set<std::string> read;
  fs.rule = [&read](test::FsCall kind, const std::string& path) {
    if ((kind == test::FsCall::kOpenRead || kind == test::FsCall::kReadFile) &&
        path.find("filelist.txt") != std::string::npos) {
      read.insert(path);
    }
    return 0;
  };
  Open();
  ASSERT_EQ(Combo()->count(), 100);
  EXPECT_EQ(Combo()->currentIndex(), 99);
  EXPECT_EQ(Combo()->currentText(), QStringLiteral("01/01/2006"));
  EXPECT_EQ(form->PreviousDayIndex(), 99);
  EXPECT_EQ(read, std::set<std::string>{stationFolder + "/01012006/filelist.txt"});
  Click(Docs());
  EXPECT_EQ(ListNames(), std::vector<std::string>{"a.txt"});
  EXPECT_TRUE(dialogs.calls().empty());
}

// Two backup disks in turn, both plugged in: the window offers them, opens
// on the configuration's, and shows the days of the one chosen.
TEST_F(RestoreWindowTest, WithTwoDisksHereTheChosenDisksDaysAreShown) {
  MakeTwoDays();
  test::StoreFixture other;
  other.Write("docs/z.txt", "zulu");
  other.SetDay(5, 3, 2006);
  ASSERT_EQ(other.Backup(), BackupOutcome::kCompleted);
  std::vector<std::pair<std::string, std::string>> here{{"A", root}, {"B", other.root}};
  env.storesHere = [&here] { return here; };
  Open();
  auto* disks = Find<QComboBox>("ComboDisque");
  ASSERT_NE(disks, nullptr);
  EXPECT_TRUE(disks->isVisible());
  ASSERT_EQ(disks->count(), 2);
  EXPECT_EQ(disks->currentIndex(), 0);
  EXPECT_EQ(Combo()->count(), 2);

  disks->setCurrentIndex(1);
  ASSERT_EQ(Combo()->count(), 1);
  EXPECT_EQ(Combo()->itemText(0), QStringLiteral("05/03/2006"));
  EXPECT_EQ(form->DayFolders(), std::vector<std::string>{"05032006"});
  EXPECT_TRUE(dialogs.calls().empty());

  // B unplugged: at the next opening the window is back on A, alone.
  here.pop_back();
  form->LoadDays();
  EXPECT_FALSE(disks->isVisible());
  EXPECT_EQ(Combo()->count(), 2);
}

}  // namespace
}  // namespace varnoket
