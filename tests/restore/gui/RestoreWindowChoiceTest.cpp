// The restore window's choices over real backups made by the engine: a
// window that grows and a file list sorted by its columns, restoring below
// another folder (never into the store), the one question about files that
// differ at their destination and each of its answers, and the report saved
// as a text file.

#include <QHeaderView>
#include <QLabel>

#include "RestoreWindowFixture.h"
#include "restore/KeptCopyName.h"
#include "restore/ShownValues.h"

namespace varnoket {
namespace {

class RestoreWindowChoiceTest : public RestoreWindowTest {
 protected:
  void ClickHeader(int column) {
    QHeaderView* header = List()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
  }
  std::string Information() {
    const auto texts = dialogs.Texts(DialogKind::Information);
    return texts.empty() ? "" : texts.back();
  }
  std::string Kept(const std::string& name, int attempt = 1) {
    return Docs() + "/" + KeptCopyName(name, "02032006", attempt);
  }
};

TEST_F(RestoreWindowChoiceTest, TheWindowGrowsAndTheFileListSortsByEachColumn) {
  MakeTwoDays();
  Open();
  EXPECT_NE(form->minimumSize(), form->maximumSize());  // not a fixed size
  EXPECT_TRUE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  const QSize treeBefore = form->TreeView().size();
  const QSize listBefore = List()->size();
  form->resize(form->width() + 400, form->height() + 300);
  Settle();
  EXPECT_GT(form->TreeView().width(), treeBefore.width());
  EXPECT_GT(List()->width(), listBefore.width());
  EXPECT_GT(form->TreeView().height(), treeBefore.height() + 200);
  EXPECT_GT(List()->height(), listBefore.height() + 200);

  Combo()->setCurrentIndex(1);
  Click(Docs());
  // The day's order until a column is clicked; sizes as numbers, not text.
  ASSERT_EQ(ListNames(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "new.txt"}));
  EXPECT_EQ(List()->topLevelItem(0)->text(1).toStdString(), "17 o");
  EXPECT_EQ(List()->topLevelItem(0)->text(2).toStdString(),
            DosDateText(DosDateOf(Docs() + "/a.txt")));
  ClickHeader(1);
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"new.txt", "b.txt", "c.txt", "a.txt"}));
  ClickHeader(1);
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"a.txt", "c.txt", "b.txt", "new.txt"}));
  // Another directory is listed in the chosen order too.
  Click(Docs() + "/trois");
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"1", "2", "3"}));  // equal sizes keep order
  Click(Docs());
  EXPECT_EQ(ListNames()[0], "a.txt");

  // A tick on a sorted row ticks that file, not the one at that place in
  // the day's list.
  Tick(3);  // new.txt
  const FileNodeList& files = *Tree().Files(Node(Docs()));
  EXPECT_EQ(files[3].State, kStateTicked);
  EXPECT_NE(files[0].State, kStateTicked);
  EXPECT_EQ(Tree().State(Node(Docs())), kStatePartly);
}

TEST_F(RestoreWindowChoiceTest, RestoresBelowAnotherFolderButNeverIntoTheStore) {
  MakeTwoDays();
  WriteFile(Docs() + "/a.txt", "edited here");
  Open();
  Combo()->setCurrentIndex(1);
  auto* elsewhere = Find<QCheckBox>("VKCheckAutreDossier");
  auto* label = Find<QLabel>("LabelDestination");
  ASSERT_NE(elsewhere, nullptr);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text().toStdString(), kInPlaceText);

  // A folder inside the store is refused, and so is the store itself.
  const std::string inside = store.root + "/" + station;
  picker.answers = {inside, store.root + "/"};
  for (const std::string& folder : {inside, store.root}) {
    dialogs.Clear();
    elsewhere->click();
    EXPECT_EQ(dialogs.Texts(DialogKind::Error),
              std::vector<std::string>{DestinationInStoreText(folder, store.root)});
    EXPECT_FALSE(elsewhere->isChecked());
    EXPECT_EQ(form->DestinationRoot(), "");
  }
  // A cancelled picker leaves the restore in place.
  elsewhere->click();
  EXPECT_FALSE(elsewhere->isChecked());
  EXPECT_EQ(picker.titles.back(), kDestinationTitle);

  const std::string out = store.tmp / "ailleurs";
  fsys::create_directories(out);
  picker.answers = {out + "/"};
  elsewhere->click();
  EXPECT_TRUE(elsewhere->isChecked());
  EXPECT_EQ(form->DestinationRoot(), out);
  EXPECT_EQ(label->text().toStdString(), out);

  EXPECT_TRUE(Find<QLabel>("LabelAutreDossier")->isVisible());

  // The ticked folder lands directly in the chosen one, not below the
  // whole path it had.
  Tree().SetState(Node(Docs()), kStateTicked);
  dialogs.Clear();
  form->StartRestore();
  EXPECT_EQ(ReadFile(out + "/docs/a.txt"), "alpha, second day");
  EXPECT_EQ(ReadFile(out + "/docs/trois/2"), "2");
  EXPECT_TRUE(fsys::is_directory(out + "/docs/vide"));
  EXPECT_FALSE(fsys::exists(out + store.source));
  EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "edited here");  // the original is not touched
  EXPECT_TRUE(question.counts.empty());                   // nothing stood in the way
  EXPECT_NE(Information().find(CountsLine(7, 0, 0, 0, 0)), std::string::npos) << Information();
  // The report names where each file went.
  EXPECT_NE(report.Text().find("Fichier-> " + out + "/docs/trois/2\r\n"), std::string::npos)
      << report.Text();
  EXPECT_EQ(report.Text().find("Fichier-> " + Docs()), std::string::npos) << report.Text();

  // Unticked, the box brings the restore back in place.
  elsewhere->click();
  EXPECT_EQ(form->DestinationRoot(), "");
  EXPECT_EQ(label->text().toStdString(), kInPlaceText);
}

TEST_F(RestoreWindowChoiceTest, OneQuestionForDifferentFilesAndEachAnswer) {
  MakeTwoDays();
  WriteFile(Docs() + "/a.txt", "local a");
  WriteFile(Docs() + "/b.txt", "local b");
  fsys::remove(Docs() + "/c.txt");
  Open();
  Combo()->setCurrentIndex(1);
  Click(Docs());
  Tick(0);
  Tick(1);
  Tick(2);

  // Cancel: nothing runs.
  question.answers = {std::nullopt};
  form->StartRestore();
  EXPECT_EQ(question.counts, std::vector<size_t>{2});
  EXPECT_EQ(timerStops, 0);
  EXPECT_FALSE(fsys::exists(Docs() + "/c.txt"));
  EXPECT_TRUE(dialogs.Texts(DialogKind::Information).empty());

  // Skip: the two different files are left, the missing one created.
  question.answers = {ExistingFilePolicy::kSkip};
  form->StartRestore();
  EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "local a");
  EXPECT_EQ(ReadFile(Docs() + "/c.txt"), "charlie");
  EXPECT_NE(Information().find(CountsLine(1, 0, 0, 0, 2)), std::string::npos) << Information();
  EXPECT_NE(report.Text().find("Fichier-> " + Docs() + "/b.txt (ignoré"), std::string::npos);

  // Keep both, twice: the second time the kept names are taken and the next
  // free ones are used; nothing is ever written over.
  for (int attempt = 1; attempt <= 2; ++attempt) {
    SCOPED_TRACE(attempt);
    question.answers = {ExistingFilePolicy::kKeepBoth};
    form->StartRestore();
    EXPECT_EQ(question.counts.back(), 2u);
    EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "local a");
    EXPECT_EQ(ReadFile(Kept("a.txt", attempt)), "alpha, second day");
    EXPECT_EQ(ReadFile(Kept("b.txt", attempt)), "bravo");
    EXPECT_NE(Information().find(CountsLine(0, 1, 0, 2, 0)), std::string::npos) << Information();
  }
  EXPECT_EQ(ReadFile(Kept("a.txt", 1)), "alpha, second day");

  // Replace: the different files take the recorded content; then nothing
  // differs and no question is asked.
  question.answers = {ExistingFilePolicy::kReplace};
  form->StartRestore();
  EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "alpha, second day");
  EXPECT_EQ(ReadFile(Docs() + "/b.txt"), "bravo");
  EXPECT_NE(Information().find(CountsLine(0, 1, 2, 0, 0)), std::string::npos) << Information();
  const size_t asked = question.counts.size();
  form->StartRestore();
  EXPECT_EQ(question.counts.size(), asked);
  EXPECT_NE(Information().find(CountsLine(0, 3, 0, 0, 0)), std::string::npos) << Information();
}

TEST_F(RestoreWindowChoiceTest, TheReportIsSavedAsText) {
  MakeTwoDays();
  fsys::remove(Docs() + "/b.txt");
  Open();
  Combo()->setCurrentIndex(1);
  Click(Docs());
  Tick(1);
  form->StartRestore();
  ASSERT_TRUE(report.isVisible());
  auto* save = report.findChild<QPushButton*>(QStringLiteral("BitBtnEnregistrer"));
  ASSERT_NE(save, nullptr);

  const std::string path = store.tmp / "compte-rendu.txt";
  std::vector<std::string> answers{"", path, store.tmp / "absent/r.txt"};
  size_t asked = 0;
  report.chooseSavePath = [&] { return answers[asked++]; };
  save->click();  // cancelled: nothing written, nothing said
  EXPECT_FALSE(fsys::exists(path));
  dialogs.Clear();
  save->click();
  EXPECT_EQ(ReadFile(path), "Début de la restauration ...\r\nFichier-> " + Docs() + "/b.txt\r\n");
  EXPECT_TRUE(dialogs.calls().empty());
  save->click();  // a folder that does not exist
  EXPECT_EQ(dialogs.Texts(DialogKind::Error),
            std::vector<std::string>{"Impossible d'enregistrer le fichier (" + answers[2] + ")"});
  EXPECT_EQ(asked, 3u);
}

}  // namespace
}  // namespace varnoket

namespace varnoket {
namespace {

class RestoreElsewhereTest : public RestoreWindowChoiceTest {
 protected:
  // Opens the window on the newest day with `out` chosen as the folder.
  void OpenElsewhere() {
    Open();
    fsys::create_directories(out);
    picker.answers = {out};
    Find<QCheckBox>("VKCheckAutreDossier")->click();
    ASSERT_EQ(form->DestinationRoot(), out);
  }
  std::string out = store.tmp / "ailleurs";
};

TEST_F(RestoreElsewhereTest, TheReplaceWarningComesOnlyWhenAFileWouldBeReplaced) {
  MakeTwoDays();
  OpenElsewhere();
  Click(Docs());
  Tick(0);  // a.txt
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    // An empty folder, then the file found up to date: nothing replaced.
    dialogs.Clear();
    form->StartRestore();
    ASSERT_FALSE(dialogs.calls().empty());
    EXPECT_EQ(dialogs.calls()[0].text, kRestoreNothingReplacedQuestion);
    EXPECT_EQ(dialogs.calls()[0].buttons, DialogButtons::kOkCancel);
    EXPECT_EQ(ReadFile(out + "/a.txt"), "alpha, second day");
    EXPECT_TRUE(question.counts.empty());
  }
  // A different file stands there now: the warning, then the question.
  WriteFile(out + "/a.txt", "another a");
  dialogs.Clear();
  form->StartRestore();
  ASSERT_FALSE(dialogs.calls().empty());
  EXPECT_EQ(dialogs.calls()[0].text, kRestoreQuestion);
  EXPECT_EQ(question.counts, std::vector<size_t>{1});
  EXPECT_EQ(ReadFile(out + "/a.txt"), "alpha, second day");
  // Cancelled at the warning, nothing runs.
  WriteFile(out + "/a.txt", "another a");
  dialogs.Clear();
  dialogs.QueueAnswer(DialogAnswer::kCancel);
  form->StartRestore();
  EXPECT_EQ(dialogs.calls().size(), 1u);
  EXPECT_EQ(ReadFile(out + "/a.txt"), "another a");
}

TEST_F(RestoreElsewhereTest, ATargetThatIsAFileIsRefusedAndNothingWritten) {
  MakeTwoDays();
  Open();
  const std::string file = store.tmp / "a-file";
  WriteFile(file, "not a folder");
  picker.answers = {file};
  auto* elsewhere = Find<QCheckBox>("VKCheckAutreDossier");
  elsewhere->click();
  EXPECT_EQ(dialogs.Texts(DialogKind::Error),
            std::vector<std::string>{DestinationNotAFolderText(file)});
  EXPECT_FALSE(elsewhere->isChecked());
  EXPECT_EQ(form->DestinationRoot(), "");

  // A folder chosen, then replaced by a file before the run: refused too.
  fsys::create_directories(out);
  picker.answers = {out};
  elsewhere->click();
  ASSERT_EQ(form->DestinationRoot(), out);
  fsys::remove(out);
  WriteFile(out, "now a file");
  Tree().SetState(Node(Docs()), kStateTicked);
  dialogs.Clear();
  form->StartRestore();
  EXPECT_EQ(dialogs.Texts(DialogKind::Error),
            std::vector<std::string>{DestinationNotAFolderText(out)});
  EXPECT_EQ(dialogs.calls().size(), 1u);
  EXPECT_EQ(timerStops, 0);
  EXPECT_EQ(ReadFile(out), "now a file");
  EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "alpha, second day");
}

TEST_F(RestoreElsewhereTest, TwoTickedFilesOfOneNameAreRefusedBeforeAnythingIsWritten) {
  store.Write("docs/a.txt", "top a");
  store.Write("docs/sub/a.txt", "sub a");
  store.Write("docs/sub/b.txt", "sub b");
  ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
  OpenElsewhere();
  Click(Docs());
  ASSERT_EQ(ListNames(), std::vector<std::string>{"a.txt"});
  Tick(0);
  Click(Docs() + "/sub");
  ASSERT_EQ(ListNames(), (std::vector<std::string>{"a.txt", "b.txt"}));
  Tick(0);
  Tick(1, false);
  dialogs.Clear();
  form->StartRestore();
  EXPECT_EQ(dialogs.Texts(DialogKind::Error),
            std::vector<std::string>{SharedDestinationText(out + "/a.txt")});
  EXPECT_EQ(timerStops, 0);
  EXPECT_TRUE(fsys::is_empty(out));

  // One of them only: it comes back directly in the folder.
  Tick(0, false);
  Tick(1);
  dialogs.Clear();
  form->StartRestore();
  EXPECT_EQ(ReadFile(out + "/a.txt"), "top a");
  EXPECT_EQ(ReadFile(out + "/b.txt"), "sub b");
  EXPECT_NE(report.Text().find("Fichier-> " + out + "/b.txt"), std::string::npos) << report.Text();
}

}  // namespace
}  // namespace varnoket
