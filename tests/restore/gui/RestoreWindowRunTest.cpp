// The restore window's run over real backups made by the engine: the
// restored files with their dates and attributes, errors, the abort from the
// report window, and what the user may do while a day's tree loads.

#include "RestoreWindowFixture.h"
#include "engine/StationReadLock.h"

namespace varnoket {
namespace {

// A suite of its own: gtest wants one fixture class per suite name.
class RestoreWindowRunTest : public RestoreWindowTest {};

TEST_F(RestoreWindowRunTest, RestoresOnlyTheTickedFilesWithDatesAndAttributesTwice) {
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
              "répertoires choisis déjà présents sur votre poste seront remplacés !\r\nConfirmez-"
              "vous ?");
    EXPECT_EQ(dialogs.calls()[0].kind, DialogKind::Warning);
    EXPECT_EQ(dialogs.Texts(DialogKind::Information),
              std::vector<std::string>{
                  "Opération terminée : 2 fichiers ou dossiers restaurés "
                  "pour un total de 23 octets !" +
                  (round == 0 ? CountsLine(1, 0, 1, 0, 0) : CountsLine(0, 1, 1, 0, 0))});
    // One different file each time (b, then c): asked once, replaced.
    EXPECT_EQ(question.counts.size(), static_cast<size_t>(round + 1));
    EXPECT_EQ(question.counts.back(), 1u);
    EXPECT_EQ(form->RestoredCount(), 2);
    EXPECT_EQ(form->RestoredBytes(), 23);
    EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "a edited");
    EXPECT_EQ(ReadFile(b), "bravo, read-only");
    EXPECT_EQ(ModeOf(b), 0444u);
    EXPECT_EQ(DosDateOf(b), bDate);
    EXPECT_EQ(ReadFile(Docs() + "/c.txt"), "charlie");
    // The second time b is there as recorded and is left alone; c changed.
    EXPECT_EQ(report.Text(), "Début de la restauration ...\r\nFichier-> " + b +
                                 (round == 0 ? "" : " (déjà à jour)") + "\r\nFichier-> " + Docs() +
                                 "/c.txt");
    // The window is back as it was, with its ticks, the timer running again;
    // the report stays up to be read, its button now closing it.
    EXPECT_TRUE(report.isVisible());
    EXPECT_FALSE(report.RunInProgress());
    auto* reportButton = report.findChild<QPushButton*>(QStringLiteral("BitBtnFermer"));
    EXPECT_EQ(reportButton->text(), QStringLiteral("&Fermer"));
    reportButton->click();
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

TEST_F(RestoreWindowRunTest, ATickedEmptyDirectoryIsCreatedAndCounted) {
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
                                     "un total de 0 octets !" +
                                     CountsLine(0, 0, 0, 0, 0)});
  // Once it exists it is not counted again.
  dialogs.Clear();
  form->StartRestore();
  EXPECT_EQ(dialogs.Texts(DialogKind::Information), std::vector<std::string>{kDoneZero});
}

TEST_F(RestoreWindowRunTest, MissingDamagedAndEscapingStoredFilesAreErrors) {
  MakeTwoDays();
  // a.txt of the second day: its copy is cut short; b.txt: its copy is gone
  // from the only day that holds one.
  const std::string aStored = store.DayFolder("02032006") + "/_" + Docs() + "/a.txt.ZZ";
  const std::string full = ReadFile(aStored);
  WriteFile(aStored, full.substr(0, full.size() / 2));
  fsys::remove(store.DayFolder("01032006") + "/_" + Docs() + "/b.txt.ZZ");
  WriteFile(Docs() + "/a.txt", "kept on disk");
  // Gone from the disk too: a b.txt still as recorded would be left alone.
  fsys::remove(Docs() + "/b.txt");
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
            "0|0|*|" + out + "/empty|16877|0|0\r\n" + "7|0|../../climb.ZZ|" + out +
                "/climb.txt|33188|0|0\r\n" + "7|0|" + (store.tmp / "abs.ZZ") + "|" + out +
                "/abs.txt|33188|0|0\r\n");

  Open();
  Combo()->setCurrentIndex(1);
  // Opening showed the newest day, the hand-made one, and named its lines.
  dialogs.Clear();
  Click(Docs());
  ASSERT_EQ(ListNames()[0], "a.txt");
  ASSERT_EQ(ListNames()[1], "b.txt");
  Tick(0);
  Tick(1);
  form->StartRestore();
  EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "kept on disk");
  const std::string text = report.Text();
  EXPECT_NE(text.find("Fichier-> " + Docs() + "/a.txt\r\n---> ERREUR: Copie compressée tronquée (" +
                      aStored + ") : fichier non restauré. <---"),
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

  // The hand-made day: its two lines that would climb out of the day
  // folder are named when it loads, give nothing, and fail the run.
  dialogs.Clear();
  Combo()->setCurrentIndex(2);
  // The run cleared the ticks: no question on the change of day, only the lines.
  ASSERT_EQ(dialogs.Count(DialogKind::Warning), 1u);
  EXPECT_EQ(dialogs.Texts(DialogKind::Warning)[0].rfind(
                "La liste de ce jour contient 2 ligne(s) illisible(s)", 0),
            0u);
  Tree().SetState(Node("/"), kStateTicked);
  form->StartRestore();
  EXPECT_TRUE(fsys::is_directory(out + "/empty"));
  EXPECT_FALSE(fsys::exists(out + "/climb.txt"));
  EXPECT_FALSE(fsys::exists(out + "/abs.txt"));
  EXPECT_EQ(report.Text().rfind("Début de la restauration ...\r\n---> ERREUR: Ligne illisible "
                                "dans la liste du jour (7|0|../../climb.ZZ|",
                                0),
            0u);
  ASSERT_EQ(dialogs.Count(DialogKind::Warning), 3u);  // the question, then the summary
  EXPECT_EQ(dialogs.Texts(DialogKind::Warning)[2].rfind("ATTENTION 2 fichiers", 0), 0u);
}

TEST_F(RestoreWindowRunTest, AbortFromTheReportFinishesTheCurrentFileOnly) {
  store.Write("docs/big.bin", std::string(300000, 'b'));
  store.Write("docs/small.txt", "small");
  store.Write("docs/sub/z.txt", "zulu");
  ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
  fsys::remove_all(Docs());
  fsys::create_directories(Docs());
  Open();
  Combo()->setCurrentIndex(0);
  Tree().SetState(Node(Docs()), kStateTicked);
  // The user answers OK to the abort question once big.bin is handed out to
  // be decoded.
  bool asked = false;
  onPump = [&] {
    asked = true;
    EXPECT_TRUE(report.isVisible());
    EXPECT_FALSE(form->isEnabled());
    report.CloseWindow();
  };
  form->StartRestore();
  EXPECT_TRUE(asked);
  // The file went on to its end after the abort.
  EXPECT_EQ(ReadFile(Docs() + "/big.bin"), std::string(300000, 'b'));
  EXPECT_FALSE(fsys::exists(Docs() + "/small.txt"));
  EXPECT_FALSE(fsys::exists(Docs() + "/sub"));
  EXPECT_EQ(dialogs.Texts(DialogKind::Warning)[1],
            "ATTENTION voulez-vous vraiment interrompre la restauration ?");
  EXPECT_EQ(dialogs.calls()[1].buttons, DialogButtons::kOkCancel);
  // big.bin came back; small.txt and sub/z.txt were never handed out.
  EXPECT_EQ(dialogs.Texts(DialogKind::Information),
            std::vector<std::string>{"Restauration abandonnée par l'utilisateur !\r\nFichiers "
                                     "restaurés : 1 ; non restaurés : 2" +
                                     CountsLine(1, 0, 0, 0, 0)});
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

TEST_F(RestoreWindowRunTest, AChangeOfDayDuringALoadIsAppliedAfterIt) {
  MakeTwoDays();
  Open();
  onPump = [&] { Combo()->setCurrentIndex(1); };
  Combo()->setCurrentIndex(0);
  // Day 0 was loaded to its end, then the change made (nothing was ticked:
  // no question).
  EXPECT_TRUE(dialogs.calls().empty());
  EXPECT_EQ(form->PreviousDayIndex(), 1);
  EXPECT_EQ(Combo()->currentIndex(), 1);
  Click(Docs());
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "new.txt"}));
  EXPECT_TRUE(RestoreButton()->isEnabled());
}

TEST_F(RestoreWindowRunTest, NoMergeDeletesACopyWhileTheWindowIsOpen) {
  MakeTwoDays();
  const StoreLayout layout(PathRules(PathStyle::kPosix), store.root, station);
  Open();
  Combo()->setCurrentIndex(0);
  std::unique_ptr<FileLock> merge;
  EXPECT_EQ(LockStationForDeletion(DefaultFileSystem(), layout, merge), LockStatus::kBusy);
  form->close();
  EXPECT_EQ(LockStationForDeletion(DefaultFileSystem(), layout, merge), LockStatus::kAcquired);
}

TEST_F(RestoreWindowRunTest, ACloseDuringALoadHappensAfterIt) {
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

  // Opened again, the window starts afresh on the newest day.
  form->show();
  Settle();
  EXPECT_EQ(Combo()->currentIndex(), 1);
  EXPECT_EQ(form->PreviousDayIndex(), 1);
  EXPECT_TRUE(dialogs.calls().empty());
  EXPECT_GT(Tree().NodeCount(), 0u);
}

TEST_F(RestoreWindowRunTest, BadOrUnreadableFileListLeavesTheWindowUsable) {
  MakeTwoDays();
  WriteFile(store.root + "/" + station + "/03032006/filelist.txt",
            "1|2|_/x/y.txt.ZZ|/x/y.txt|abc|0|0\r\n");
  // The newest day, the bad one, is loaded at the opening.
  Open();
  ASSERT_EQ(dialogs.Count(DialogKind::Warning), 1u);
  EXPECT_NE(dialogs.Texts(DialogKind::Warning)[0].find(
                "(1|2|_/x/y.txt.ZZ|/x/y.txt|abc|0|0) : taille, somme, attributs ou date qui "
                "n'est pas un nombre."),
            std::string::npos);
  EXPECT_EQ(Tree().NodeCount(), 0u);
  dialogs.Clear();
  Combo()->setCurrentIndex(1);  // nothing ticked: no question
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
