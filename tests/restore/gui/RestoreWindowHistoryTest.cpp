// The restore window's views across days over real backups made by the
// engine on faked days: a file's versions (from the menu and the key) and
// restoring one, a path kept as a folder on some days, the search by name in
// one day or in all, and what changed on a day.

#include <QAction>
#include <QLineEdit>

#include "RestoreWindowFixture.h"
#include "restore/KeptCopyName.h"
#include "restore/ShownValues.h"
#include "restore/gui/ListWindow.h"

namespace varnoket {
namespace {

class RestoreWindowHistoryTest : public RestoreWindowTest {
 protected:
  // MakeTwoDays, then a third day: c.txt deleted, trois/C-note.txt added,
  // a.txt back to its first content.
  void MakeThreeDays() {
    MakeTwoDays();
    fsys::remove(Docs() + "/c.txt");
    store.Write("docs/trois/C-note.txt", "note");
    store.Write("docs/a.txt", "alpha");
    store.SetDay(3, 3, 2006);
    ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
  }
  // Selects a file of the listed directory by its shown name.
  void Select(const std::string& name) {
    for (int i = 0; i < List()->topLevelItemCount(); ++i) {
      if (List()->topLevelItem(i)->text(0).toStdString() == name) {
        List()->setCurrentItem(List()->topLevelItem(i));
      }
    }
  }
  std::vector<std::vector<std::string>> Rows(ListWindow* list) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; list != nullptr && i < list->RowCount(); ++i) rows.push_back(list->Row(i));
    return rows;
  }
  std::string CurrentFile() {
    const QTreeWidgetItem* item = List()->currentItem();
    return item == nullptr ? "" : item->text(0).toStdString();
  }
};

TEST_F(RestoreWindowHistoryTest, AFilesVersionsFromTheKeyAndTheMenuAndRestoringOne) {
  MakeThreeDays();
  Open();
  Combo()->setCurrentIndex(2);
  Click(Docs());

  // Nothing selected: the user is told to choose a file.
  form->ShowVersions();
  EXPECT_EQ(dialogs.Texts(DialogKind::Information), std::vector<std::string>{kNoFileChosenText});
  EXPECT_EQ(form->LastListWindow(), nullptr);

  // The list's menu holds the action, on F7 and Ctrl+H.
  QAction* action = List()->findChild<QAction*>(QStringLiteral("ActionVersions"));
  ASSERT_NE(action, nullptr);
  EXPECT_TRUE(List()->actions().contains(action));
  EXPECT_EQ(List()->contextMenuPolicy(), Qt::ActionsContextMenu);
  EXPECT_TRUE(action->shortcuts().contains(QKeySequence(Qt::Key_F7)));
  EXPECT_TRUE(action->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_H)));

  Select("a.txt");
  action->trigger();
  ListWindow* list = form->LastListWindow();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->objectName(), QStringLiteral("FormVersions"));
  EXPECT_TRUE(list->isVisible());
  // Three days, three versions: alpha, its change, alpha again.
  const std::vector<FileVersion> versions =
      FileVersions(fs, StoreLayout(PathRules(), root, station), form->DayFolders(),
                   Docs() + "/a.txt")
          .versions;
  ASSERT_EQ(versions.size(), 3u);
  EXPECT_EQ(Rows(list), (std::vector<std::vector<std::string>>{
                            {"01/03/2006", "5 o", DosDateText(versions[0].fileDate)},
                            {"02/03/2006", "17 o", DosDateText(versions[1].fileDate)},
                            {"03/03/2006", "5 o", DosDateText(versions[2].fileDate)}}));

  // The second version over a different file: the question, keep both.
  WriteFile(Docs() + "/a.txt", "local");
  question.answers = {ExistingFilePolicy::kKeepBoth};
  list->SelectRow(1);
  list->ActOnSelection();
  EXPECT_EQ(question.counts, std::vector<size_t>{1});
  EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "local");
  EXPECT_EQ(ReadFile(Docs() + "/" + KeptCopyName("a.txt", "02032006", 1)), "alpha, second day");
  EXPECT_NE(dialogs.Texts(DialogKind::Information).back().find(CountsLine(0, 0, 0, 1, 0)),
            std::string::npos);
  EXPECT_EQ(timerStops, 1);
  EXPECT_EQ(timerStarts, 1);

  // The first version in another folder, directly in it as a file ticked
  // alone: nothing there, no question.
  const std::string out = store.tmp / "versions";
  picker.answers = {out};
  form->SetRestoreElsewhere(true);
  list->SelectRow(0);
  list->ActOnSelection();
  EXPECT_EQ(question.counts.size(), 1u);
  EXPECT_EQ(ReadFile(out + "/a.txt"), "alpha");
  EXPECT_EQ(DosDateOf(out + "/a.txt"), versions[0].fileDate);
  EXPECT_FALSE(fsys::exists(out + Docs()));
}

TEST_F(RestoreWindowHistoryTest, APathKeptAsAFolderOnSomeDaysIsSaidApart) {
  fsys::create_directories(store.source + "/node");
  store.Write("keep.txt", "k");
  store.SetDay(1, 3, 2006);
  ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
  fsys::remove(store.source + "/node");
  store.Write("node", "a file now");
  store.SetDay(2, 3, 2006);
  ASSERT_EQ(store.Backup(), BackupOutcome::kCompleted);
  Open();
  Combo()->setCurrentIndex(1);
  Click(store.source);
  Select("node");
  ASSERT_EQ(CurrentFile(), "node");
  // The key works where the list has the focus.
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  List()->setFocus();
  QTest::keyClick(List(), Qt::Key_F7);
  ListWindow* list = form->LastListWindow();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->RowCount(), 1);
  EXPECT_EQ(list->Row(0)[0], "02/03/2006");
  EXPECT_NE(list->Caption().find("dossier les journées : 01/03/2006"), std::string::npos)
      << list->Caption();
}

TEST_F(RestoreWindowHistoryTest, SearchInTheDayOrInAllDaysAndOpenAFoundFile) {
  MakeThreeDays();
  Open();
  auto* field = Find<QLineEdit>("VKEditRecherche");
  auto* allDays = Find<QCheckBox>("VKCheckToutesJournees");
  ASSERT_NE(field, nullptr);
  ASSERT_NE(allDays, nullptr);
  field->setText("C*.TXT");
  // The newest day is chosen at the opening: it is the one searched.
  EXPECT_EQ(Combo()->currentIndex(), 2);
  Find<QPushButton>("BitBtnRechercher")->click();
  ListWindow* list = form->LastListWindow();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->objectName(), QStringLiteral("FormRecherche"));
  EXPECT_EQ(Rows(list), (std::vector<std::vector<std::string>>{
                            {"C-note.txt", Docs() + "/trois", "03/03/2006", "4 o"}}));

  // Every day: the deleted c.txt too, from the last day that has it.
  allDays->click();
  QTest::keyClick(field, Qt::Key_Return);
  list = form->LastListWindow();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Rows(list), (std::vector<std::vector<std::string>>{
                            {"c.txt", Docs(), "02/03/2006", "7 o"},
                            {"C-note.txt", Docs() + "/trois", "03/03/2006", "4 o"}}));

  // Opening c.txt changes the day (asking first, as a tick would be lost)
  // and selects it.
  Tree().SetState(Node(Docs() + "/trois"), kStateTicked);
  dialogs.Clear();
  dialogs.QueueAnswer(DialogAnswer::kCancel);
  list->SelectRow(0);
  list->ActOnSelection();
  EXPECT_EQ(dialogs.Count(DialogKind::Warning), 1u);
  EXPECT_EQ(form->PreviousDayIndex(), 2);
  list->ActOnSelection();
  EXPECT_EQ(form->PreviousDayIndex(), 1);
  EXPECT_EQ(form->TreeView().SelectedNode(), Node(Docs()));
  EXPECT_EQ(CurrentFile(), "c.txt");
  // The results leave the tree in sight, and the restore window answers.
  const QRect tree(form->TreeView().mapToGlobal(QPoint(0, 0)), form->TreeView().size());
  EXPECT_FALSE(list->frameGeometry().intersects(tree))
      << list->frameGeometry().x() << "," << list->frameGeometry().width() << " / " << tree.x()
      << "," << tree.width();
  EXPECT_FALSE(list->isModal());

  // A file of the day shown opens without a question, even in a sorted list.
  dialogs.Clear();
  form->OpenFound(FoundFile{Docs() + "/trois/2", "02032006", 1, 0});
  EXPECT_TRUE(dialogs.calls().empty());
  EXPECT_EQ(form->TreeView().SelectedNode(), Node(Docs() + "/trois"));
  EXPECT_EQ(CurrentFile(), "2");
}

TEST_F(RestoreWindowHistoryTest, WhatChangedOnADay) {
  MakeThreeDays();
  Open();
  auto* button = Find<QPushButton>("BitBtnChangements");
  ASSERT_NE(button, nullptr);
  // The newest day is chosen at the opening.
  EXPECT_EQ(Combo()->currentIndex(), 2);
  ASSERT_TRUE(button->isEnabled());
  button->click();
  ListWindow* list = form->LastListWindow();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->objectName(), QStringLiteral("FormChangements"));
  EXPECT_EQ(Rows(list),
            (std::vector<std::vector<std::string>>{{"Modifié", Docs() + "/a.txt"},
                                                   {"Disparu", Docs() + "/c.txt"},
                                                   {"Nouveau", Docs() + "/trois/C-note.txt"}}));
  EXPECT_EQ(list->Caption(),
            "2 fichier(s) sauvegardé(s) le 03/03/2006, 1 disparu(s) depuis le 02/03/2006.");

  // The oldest day: every file is new; the earlier list window is replaced.
  Combo()->setCurrentIndex(0);
  form->ShowDayChanges();
  ListWindow* first = form->LastListWindow();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->RowCount(), 6);
  EXPECT_NE(first->Caption().find("(première journée conservée)"), std::string::npos);
  Settle();
  EXPECT_EQ(list == first ? 1 : 0, 0);
}

}  // namespace
}  // namespace varnoket
