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

  Tree().SetState(Node(Docs()), kStateTicked);
  dialogs.Clear();
  form->StartRestore();
  EXPECT_EQ(ReadFile(out + Docs() + "/a.txt"), "alpha, second day");
  EXPECT_EQ(ReadFile(out + Docs() + "/trois/2"), "2");
  EXPECT_TRUE(fsys::is_directory(out + Docs() + "/vide"));
  EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "edited here");  // the original is not touched
  EXPECT_TRUE(question.counts.empty());                   // nothing stood in the way
  EXPECT_NE(Information().find(CountsLine(7, 0, 0, 0, 0)), std::string::npos) << Information();

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
