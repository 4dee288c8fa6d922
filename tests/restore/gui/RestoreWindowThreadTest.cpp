// The restore window as the program runs it: its reads of the store and its
// restores on a thread of their own, the window's thread running its events
// meanwhile, with nothing pumping.
#include <QLineEdit>
#include <mutex>
#include <thread>

#include "RestoreWindowFixture.h"
#include "platform/gui/WindowThread.h"

namespace varnoket {
namespace {

class RestoreWindowThreadTest : public RestoreWindowTest {
 protected:
  RestoreWindowThreadTest() : windowThread_(std::this_thread::get_id()) {
    env.runThread = &thread_;
    env.pump = nullptr;
    fs.rule = [this](test::FsCall, const std::string& path) {
      if (path.find("filelist.txt") == std::string::npos) return 0;
      std::function<void()> hook;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        listReads_.push_back(std::this_thread::get_id());
        hook = std::exchange(onListRead, nullptr);
      }
      if (hook) hook();
      return 0;
    };
  }

  // How many of the day lists read since the last call were read on the
  // window's thread, and how many in all.
  std::pair<size_t, size_t> ListReads() {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto onWindow =
        static_cast<size_t>(std::count(listReads_.begin(), listReads_.end(), windowThread_));
    const std::pair<size_t, size_t> counts{onWindow, listReads_.size()};
    listReads_.clear();
    return counts;
  }

  std::function<void()> onListRead;

 private:
  OffWindowThread thread_;
  const std::thread::id windowThread_;
  std::mutex mutex_;
  std::vector<std::thread::id> listReads_;
};

TEST_F(RestoreWindowThreadTest, DaysAndRestoreRunOffTheWindowThreadWithEveryReportLineShown) {
  MakeTwoDays();
  fsys::remove_all(Docs());
  ListReads();
  Open();
  const auto [openedOnWindow, openedReads] = ListReads();
  EXPECT_EQ(openedOnWindow, 0u);
  EXPECT_GT(openedReads, 0u);

  CheckAll()->click();
  dialogs.Clear();
  form->StartRestore();
  // Every file's line is in the report by the time the summary is said.
  const std::string text = report.Text();
  size_t lines = 0;
  for (size_t at = text.find("Fichier-> "); at != std::string::npos;
       at = text.find("Fichier-> ", at + 1))
    ++lines;
  EXPECT_EQ(lines, 7u) << text;
  ASSERT_EQ(dialogs.Texts(DialogKind::Information).size(), 1u);
  EXPECT_EQ(dialogs.Texts(DialogKind::Information)[0].rfind("Opération terminée : ", 0), 0u);
  EXPECT_EQ(ReadFile(Docs() + "/a.txt"), "alpha, second day");
  EXPECT_EQ(ReadFile(Docs() + "/trois/3"), "3");
  EXPECT_TRUE(form->isEnabled());
  EXPECT_EQ(timerStarts, 1);
}

TEST_F(RestoreWindowThreadTest, ACloseAskedWhileADayIsReadWaitsForTheRead) {
  MakeTwoDays();
  Open();
  // The window's thread takes the close while the work reads the list.
  bool visibleAfterClose = false;
  onListRead = [&] {
    QMetaObject::invokeMethod(
        form.get(),
        [&] {
          form->close();
          visibleAfterClose = form->isVisible();
        },
        Qt::BlockingQueuedConnection);
  };
  Combo()->setCurrentIndex(0);
  EXPECT_TRUE(visibleAfterClose);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(dialogs.calls().empty());
  EXPECT_EQ(Tree().NodeCount(), 0u);
}

TEST_F(RestoreWindowThreadTest, SearchVersionsAndChangesReadOffTheWindowThread) {
  MakeTwoDays();
  Open();
  ListReads();
  Find<QLineEdit>("VKEditRecherche")->setText("*.txt");
  Find<QCheckBox>("VKCheckToutesJournees")->click();
  Find<QPushButton>("BitBtnRechercher")->click();
  ASSERT_NE(form->LastListWindow(), nullptr);
  EXPECT_EQ(form->LastListWindow()->RowCount(), 4);  // a, b, c and new, newest day each

  Click(Docs());
  List()->setCurrentItem(List()->topLevelItem(0));
  ASSERT_EQ(form->SelectedFilePath(), Docs() + "/a.txt");
  form->ShowVersions();
  ASSERT_NE(form->LastListWindow(), nullptr);
  EXPECT_EQ(form->LastListWindow()->RowCount(), 2);

  form->ShowDayChanges();
  ASSERT_NE(form->LastListWindow(), nullptr);
  EXPECT_EQ(form->LastListWindow()->RowCount(), 2);  // a changed, new added
  const auto [onWindow, reads] = ListReads();
  EXPECT_EQ(onWindow, 0u);
  EXPECT_GE(reads, 3u);
}

}  // namespace
}  // namespace varnoket
