// The restore window and its report window over real backups made by the
// engine: opening checks, the day list, ticks between the tree and the file
// list, the run with its report and summary, the abort, and what the user
// may do while a day's tree loads.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItem>
#include <filesystem>
#include <memory>

#include "engine/BZip2.h"
#include "platform/DosDate.h"
#include "restore/gui/RestoreReportWindow.h"
#include "restore/gui/RestoreWindow.h"
#include "restore/gui/TriStateTreeView.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"

namespace varnoket {
namespace {

using test::DialogKind;
using test::ReadFile;
using test::WriteFile;
namespace fsys = std::filesystem;

const char* kDoneZero =
    "Opération terminée : 0 fichiers ou dossiers restaurés pour un total de 0 octets !";

int32_t DosDateOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  return DosDateFromTime(st.st_mtime);
}

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

class RestoreWindowTest : public ::testing::Test {
 protected:
  RestoreWindowTest() : fs(), store(fs), report(dialogs), env(fs, dialogs) {
    env.backupRoot = [this] { return root; };
    env.stationName = [this] { return station; };
    env.stopTimer = [this] { ++timerStops; };
    env.startTimer = [this] { ++timerStarts; };
    env.pump = [this] {
      QCoreApplication::processEvents();
      if (onPump) {
        // Once: the hook may itself start a load that pumps.
        auto hook = std::move(onPump);
        onPump = nullptr;
        hook();
      }
    };
    root = store.root;
    station = store.stationName;
  }

  // Two backup days of a small set: docs/{a,b,c}.txt, docs/trois/{1,2,3},
  // docs/vide (empty); the second day changes a.txt and adds new.txt.
  void MakeTwoDays() {
    store.Write("docs/a.txt", "alpha");
    store.Write("docs/b.txt", "bravo");
    store.Write("docs/c.txt", "charlie");
    for (const char* n : {"1", "2", "3"}) store.Write(std::string("docs/trois/") + n, n);
    fsys::create_directories(store.source + "/docs/vide");
    store.SetDay(1, 3, 2006);
    ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
    store.Write("docs/a.txt", "alpha, second day");
    store.Write("docs/new.txt", "new");
    store.SetDay(2, 3, 2006);
    ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
    ASSERT_EQ(store.Days(), (std::vector<std::string>{"01032006", "02032006"}));
  }

  void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }

  RestoreWindow& Open() {
    form = std::make_unique<RestoreWindow>(env, report);
    form->show();
    Settle();
    return *form;
  }

  template <typename T>
  T* Find(const char* name) {
    return form->findChild<T*>(QString::fromUtf8(name));
  }
  QComboBox* Combo() { return Find<QComboBox>("VKComboJour"); }
  QListWidget* List() { return Find<QListWidget>("CheckListFichiers"); }
  QCheckBox* CheckAll() { return Find<QCheckBox>("VKCheckAll"); }
  QPushButton* RestoreButton() { return Find<QPushButton>("BitBtnRestaurer"); }
  StateTree& Tree() { return form->TreeView().Tree(); }

  // The node of a directory path ("/" and each name below it).
  StateTree::NodeId Node(const std::string& path) {
    const StateTree& tree = Tree();
    StateTree::NodeId node = StateTree::kNoNode;
    std::vector<std::string> names{"/"};
    for (const auto& part : fsys::path(path).relative_path()) names.push_back(part.string());
    for (const std::string& name : names) {
      StateTree::NodeId found = StateTree::kNoNode;
      for (const auto child : tree.Children(node)) {
        if (tree.Text(child) == name) found = child;
      }
      if (found == StateTree::kNoNode) return found;
      node = found;
    }
    return node;
  }
  std::string Docs() const { return store.source + "/docs"; }

  // Clicks a directory of the tree: selects it and lists its files.
  void Click(const std::string& path) {
    const auto node = Node(path);
    ASSERT_NE(node, StateTree::kNoNode) << path;
    form->TreeView().setCurrentItem(form->TreeView().ItemOf(node));
    form->ShowFolderFiles();
  }
  void Tick(int row, bool on = true) {
    List()->item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }
  std::vector<std::string> ListNames() {
    std::vector<std::string> names;
    for (int i = 0; i < List()->count(); ++i)
      names.push_back(List()->item(i)->text().toStdString());
    return names;
  }

  test::FaultyFileSystem fs;
  test::StoreFixture store;
  test::FakeDialogs dialogs;
  RestoreReportWindow report;
  RestoreWindowEnv env;
  std::unique_ptr<RestoreWindow> form;
  std::string root;
  std::string station;
  std::function<void()> onPump;
  int timerStops = 0;
  int timerStarts = 0;
};

TEST_F(RestoreWindowTest, ControlsAndTheirTexts) {
  MakeTwoDays();
  Open();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Varnoket - Restauration"));
  EXPECT_EQ(form->size(), QSize(609, 355));
  EXPECT_EQ(CheckAll()->text(), QStringLiteral("&Tout Restaurer"));
  EXPECT_EQ(CheckAll()->toolTip(), QStringLiteral("Cocher la case pour tout restaurer"));
  EXPECT_EQ(RestoreButton()->text(), QStringLiteral("&Effectuer la restauration"));
  EXPECT_EQ(RestoreButton()->toolTip(), QString::fromUtf8("Démarrer la restauration"));
  auto* closeButton = Find<QPushButton>("BitBtnFermer");
  ASSERT_NE(closeButton, nullptr);
  EXPECT_EQ(closeButton->text(), QStringLiteral("&Fermer"));
  EXPECT_NE(Find<TriStateTreeView>("TreeViewRepertoires"), nullptr);
  EXPECT_FALSE(List()->isSortingEnabled());
  // No day chosen yet: nothing selected, everything but the day list off.
  EXPECT_EQ(Combo()->currentIndex(), -1);
  EXPECT_FALSE(CheckAll()->isEnabled());
  EXPECT_FALSE(List()->isEnabled());
  EXPECT_FALSE(RestoreButton()->isEnabled());
  EXPECT_TRUE(dialogs.calls().empty());

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
                                     "/AUTRE) n'existe pas ou à été supprimé ! Il n'y a rien a "
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
                                     "Il n'y a rien a restaurer."});
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

  // The first choice asks nothing and shows the day.
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
      "ATTENTION vous aller perdre vos selections si vous en avez effectué ! Confirmez vous ?");
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
  EXPECT_EQ(List()->item(0)->checkState(), Qt::Unchecked);
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
  for (int i = 0; i < 3; ++i) EXPECT_EQ(List()->item(i)->checkState(), Qt::Checked);

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
  ASSERT_GT(List()->count(), 0);
  CheckAll()->click();
  ASSERT_TRUE(CheckAll()->isChecked());
  EXPECT_EQ(List()->count(), 0);
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

TEST_F(RestoreWindowTest, RestoresOnlyTheTickedFilesWithDatesAndAttributesTwice) {
  store.Write("docs/a.txt", "alpha");
  const std::string b = store.Write("docs/b.txt", "bravo, read-only");
  store.Write("docs/c.txt", "charlie");
  ::chmod(b.c_str(), 0444);
  const int32_t bDate = DosDateOf(b);
  ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
  // On disk since: b edited, read-only and older; a and c edited too.
  ::chmod(b.c_str(), 0644);
  WriteFile(b, "local edit");
  ::chmod(b.c_str(), 0444);
  struct utimbuf old {};
  old.actime = old.modtime = 978307200;  // 2001
  ::utime(b.c_str(), &old);
  WriteFile(Docs() + "/a.txt", "a edited");
  fsys::remove(Docs() + "/c.txt");

  Open();
  Combo()->setCurrentIndex(0);
  Click(Docs());
  ASSERT_EQ(ListNames(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  Tick(1);
  Tick(2);
  ASSERT_EQ(Tree().State(Node(Docs())), kStatePartly);

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    dialogs.Clear();
    form->StartRestore();
    ASSERT_GE(dialogs.calls().size(), 2u);
    EXPECT_EQ(dialogs.calls()[0].text,
              "ATTENTION : vous allez effectuer une restauration.\r\nTous les fichiers et "
              "répertoires choisis déjà présents sur votre poste seront remplacés !\r\nConfirmez "
              "vous ?");
    EXPECT_EQ(dialogs.calls()[0].kind, DialogKind::Warning);
    EXPECT_EQ(dialogs.Texts(DialogKind::Information),
              std::vector<std::string>{"Opération terminée : 2 fichiers ou dossiers restaurés "
                                       "pour un total de 23 octets !"});
    EXPECT_EQ(form->RestoredCount(), 2);
    EXPECT_EQ(form->RestoredBytes(), 23);
    EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "a edited");
    EXPECT_EQ(ReadFile(b), "bravo, read-only");
    EXPECT_EQ(ModeOf(b), 0444u);
    EXPECT_EQ(DosDateOf(b), bDate);
    EXPECT_EQ(ReadFile(Docs() + "/c.txt"), "charlie");
    EXPECT_EQ(report.Text(), "Début de la restauration ...\r\nFichier-> " + b + "\r\nFichier-> " +
                                 Docs() + "/c.txt");
    // The window is back as it was, with its ticks, the timer running again.
    EXPECT_FALSE(report.isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(form->RestoreRunning());
    EXPECT_EQ(timerStops, round + 1);
    EXPECT_EQ(timerStarts, round + 1);
    EXPECT_EQ(Tree().State(Node(Docs())), kStatePartly);
    WriteFile(Docs() + "/c.txt", "changed again");
  }

  // Cancel at the question: nothing happens.
  dialogs.Clear();
  dialogs.QueueAnswer(DialogAnswer::kCancel);
  form->StartRestore();
  EXPECT_EQ(dialogs.calls().size(), 1u);
  EXPECT_EQ(timerStops, 2);
  EXPECT_EQ(ReadFile(Docs() + "/c.txt"), "changed again");
}

TEST_F(RestoreWindowTest, ATickedEmptyDirectoryIsCreatedAndCounted) {
  MakeTwoDays();
  fsys::remove(Docs() + "/vide");
  Open();
  Combo()->setCurrentIndex(1);
  const auto vide = Node(Docs() + "/vide");
  ASSERT_NE(vide, StateTree::kNoNode);
  Tree().SetState(vide, kStateTicked);
  form->StartRestore();
  EXPECT_TRUE(fsys::is_directory(Docs() + "/vide"));
  EXPECT_EQ(dialogs.Texts(DialogKind::Information),
            std::vector<std::string>{"Opération terminée : 1 fichiers ou dossiers restaurés pour "
                                     "un total de 0 octets !"});
  // Once it exists it is not counted again.
  dialogs.Clear();
  form->StartRestore();
  EXPECT_EQ(dialogs.Texts(DialogKind::Information), std::vector<std::string>{kDoneZero});
}

TEST_F(RestoreWindowTest, MissingDamagedAndEscapingStoredFilesAreErrors) {
  MakeTwoDays();
  // a.txt of the second day: its copy is cut short; b.txt: its copy is gone
  // from the only day that holds one.
  const std::string aStored = store.DayFolder("02032006") + "/_" + Docs() + "/a.txt.ZZ";
  const std::string full = ReadFile(aStored);
  WriteFile(aStored, full.substr(0, full.size() / 2));
  fsys::remove(store.DayFolder("01032006") + "/_" + Docs() + "/b.txt.ZZ");
  WriteFile(Docs() + "/a.txt", "kept on disk");
  // A hand-made day whose records name stored files outside its folder.
  const std::string out = store.tmp / "out";
  {
    MemoryStream in(std::string("escaped"));
    MemoryStream z;
    CompressFile(in, z);
    WriteFile(store.root + "/climb.ZZ", z.data());
    WriteFile(store.tmp / "abs.ZZ", z.data());
  }
  WriteFile(store.root + "/" + station + "/03032006/filelist.txt",
            "7|0|../../climb.ZZ|" + out + "/climb.txt|33188|0|0\r\n" + "7|0|" +
                (store.tmp / "abs.ZZ") + "|" + out + "/abs.txt|33188|0|0\r\n");

  Open();
  Combo()->setCurrentIndex(1);
  Click(Docs());
  ASSERT_EQ(ListNames()[0], "a.txt");
  ASSERT_EQ(ListNames()[1], "b.txt");
  Tick(0);
  Tick(1);
  form->StartRestore();
  EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "kept on disk");
  const std::string text = report.Text();
  EXPECT_NE(text.find("Fichier-> " + Docs() +
                      "/a.txt\r\n---> ERREUR: Impossible de recréer le "
                      "fichier (" +
                      Docs() +
                      "/a.txt) Vérifiez l'espace disque disponible et si "
                      "le fichier n'est pas actuellement utilisé par une autre application ! <---"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Fichier-> " + Docs() + "/b.txt\r\n---> ERREUR: Fichier compressé absent !"),
            std::string::npos)
      << text;
  ASSERT_EQ(dialogs.Count(DialogKind::Warning), 2u);  // the question, the summary
  EXPECT_EQ(
      dialogs.Texts(DialogKind::Warning)[1].rfind(
          "ATTENTION 2 fichiers ou répertoires n'ont pas pu être correctement restaurés !\r\n", 0),
      0u);
  EXPECT_TRUE(dialogs.Texts(DialogKind::Information).empty());

  dialogs.Clear();
  Combo()->setCurrentIndex(2);
  Tree().SetState(Node("/"), kStateTicked);
  form->StartRestore();
  EXPECT_FALSE(fsys::exists(out + "/climb.txt"));
  EXPECT_FALSE(fsys::exists(out + "/abs.txt"));
  const std::string absent =
      "---> ERREUR: Fichier compressé absent ! Soit il à été effacé,soit il n'a pas pu être "
      "sauvegardé <---";
  EXPECT_EQ(report.Text(), "Début de la restauration ...\r\nFichier-> " + out + "/abs.txt\r\n" +
                               absent + "\r\nFichier-> " + out + "/climb.txt\r\n" + absent);
  ASSERT_EQ(dialogs.Count(DialogKind::Warning), 3u);  // change of day, question, summary
  EXPECT_EQ(dialogs.Texts(DialogKind::Warning)[2].rfind("ATTENTION 2 fichiers", 0), 0u);
}

TEST_F(RestoreWindowTest, AbortFromTheReportFinishesTheCurrentFileOnly) {
  store.Write("docs/big.bin", std::string(300000, 'b'));
  store.Write("docs/small.txt", "small");
  store.Write("docs/sub/z.txt", "zulu");
  ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
  fsys::remove_all(Docs());
  fsys::create_directories(Docs());
  Open();
  Combo()->setCurrentIndex(0);
  Tree().SetState(Node(Docs()), kStateTicked);
  int pumpsInRun = 0;
  std::function<void()> count = [&] {
    ++pumpsInRun;
    onPump = count;
  };
  // The user answers OK to the abort question while big.bin is decoded.
  onPump = [&] {
    EXPECT_TRUE(report.isVisible());
    EXPECT_FALSE(form->isEnabled());
    report.CloseWindow();
    onPump = count;
  };
  form->StartRestore();
  EXPECT_GT(pumpsInRun, 0);  // the file went on after the abort
  EXPECT_EQ(ReadFile(Docs() + "/big.bin"), std::string(300000, 'b'));
  EXPECT_FALSE(fsys::exists(Docs() + "/small.txt"));
  EXPECT_FALSE(fsys::exists(Docs() + "/sub"));
  EXPECT_EQ(dialogs.Texts(DialogKind::Warning)[1],
            "ATTENTION voulez vous vraiment interrompre la restauration ?");
  EXPECT_EQ(dialogs.calls()[1].buttons, DialogButtons::kOkCancel);
  EXPECT_EQ(dialogs.Texts(DialogKind::Information),
            std::vector<std::string>{"Restauration abandonnée par l'utilisateur !"});
  EXPECT_TRUE(form->isEnabled());
  EXPECT_EQ(timerStarts, 1);

  // Cancel at the abort question lets the run go on to the end.
  dialogs.Clear();
  dialogs.QueueAnswer(DialogAnswer::kOk);      // the run's question
  dialogs.QueueAnswer(DialogAnswer::kCancel);  // the abort question
  onPump = [&] { report.CloseWindow(); };
  form->StartRestore();
  EXPECT_EQ(ReadFile(Docs() + "/sub/z.txt"), "zulu");
  EXPECT_EQ(dialogs.Texts(DialogKind::Information).size(), 1u);
  EXPECT_EQ(dialogs.Texts(DialogKind::Information)[0].rfind("Opération terminée : ", 0), 0u);
}

TEST_F(RestoreWindowTest, AChangeOfDayDuringALoadIsAppliedAfterIt) {
  MakeTwoDays();
  Open();
  onPump = [&] { Combo()->setCurrentIndex(1); };
  Combo()->setCurrentIndex(0);
  // Day 0 was loaded to its end, then the change asked about and made.
  EXPECT_EQ(dialogs.Texts(DialogKind::Warning),
            std::vector<std::string>{
                "ATTENTION vous aller perdre vos selections si vous en avez effectué ! Confirmez "
                "vous ?"});
  EXPECT_EQ(form->PreviousDayIndex(), 1);
  EXPECT_EQ(Combo()->currentIndex(), 1);
  Click(Docs());
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "new.txt"}));
  EXPECT_TRUE(RestoreButton()->isEnabled());
}

TEST_F(RestoreWindowTest, ACloseDuringALoadHappensAfterIt) {
  MakeTwoDays();
  Open();
  ASSERT_TRUE(form->isVisible());
  onPump = [&] {
    form->close();
    EXPECT_TRUE(form->isVisible());  // not while the tree is being built
  };
  Combo()->setCurrentIndex(0);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Tree().NodeCount(), 0u);
  EXPECT_FALSE(RestoreButton()->isEnabled());
  EXPECT_TRUE(dialogs.calls().empty());

  // Opened again, the window starts afresh.
  form->show();
  Settle();
  EXPECT_EQ(Combo()->currentIndex(), -1);
  EXPECT_EQ(form->PreviousDayIndex(), -1);
  Combo()->setCurrentIndex(1);
  EXPECT_TRUE(dialogs.calls().empty());
  EXPECT_GT(Tree().NodeCount(), 0u);
}

TEST_F(RestoreWindowTest, BadOrUnreadableFileListLeavesTheWindowUsable) {
  MakeTwoDays();
  WriteFile(store.root + "/" + station + "/03032006/filelist.txt",
            "1|2|_/x/y.txt.ZZ|/x/y.txt|abc|0|0\r\n");
  Open();
  Combo()->setCurrentIndex(2);
  ASSERT_EQ(dialogs.Count(DialogKind::Error), 1u);
  EXPECT_NE(dialogs.Texts(DialogKind::Error)[0].find("'abc' n'est pas une valeur entière correcte"),
            std::string::npos);
  EXPECT_EQ(form->PreviousDayIndex(), -1);
  EXPECT_FALSE(RestoreButton()->isEnabled());
  Combo()->setCurrentIndex(1);  // no selection to lose: no question
  EXPECT_EQ(dialogs.Count(DialogKind::Warning), 0u);
  EXPECT_EQ(form->PreviousDayIndex(), 1);
  EXPECT_NE(Node(Docs()), StateTree::kNoNode);

  fs.failReads = EACCES;
  dialogs.Clear();
  Combo()->setCurrentIndex(0);
  fs.failReads = 0;
  const std::string path = store.DayFolder("01032006") + "/filelist.txt";
  EXPECT_EQ(dialogs.Texts(DialogKind::Error),
            std::vector<std::string>{"Impossible de lire le fichier (" + path + ")"});
  EXPECT_EQ(form->PreviousDayIndex(), 0);
  EXPECT_EQ(Tree().NodeCount(), 0u);
  EXPECT_TRUE(RestoreButton()->isEnabled());
  form->StartRestore();
  EXPECT_EQ(dialogs.Texts(DialogKind::Information), std::vector<std::string>{kDoneZero});
}

}  // namespace
}  // namespace varnoket
