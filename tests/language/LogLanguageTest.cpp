// A backup run's log as a person reads it: in the log viewer and on the
// terminal each line is in the shown language, while the file keeps the
// French the other copies of the program read.
#include <gtest/gtest.h>

#include <QLocale>
#include <QTableWidget>
#include <filesystem>
#include <string>

#include "ShownLanguage.h"
#include "engine/ActivityLog.h"
#include "platform/Translation.h"
#include "platform/gui/language/ProgramLanguage.h"
#include "support/FakeDialogs.h"
#include "support/StoreFixture.h"
#include "ui/LogRows.h"
#include "ui/gui/LogViewer.h"

namespace varnoket {
namespace {

using test::Either;
using test::ExpectShownInLanguage;

class LogLanguageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InstallProgramLanguage(QLocale::system()); }
  static void TearDownTestSuite() { InstallProgramLanguage(QLocale::c()); }

  // Two runs: the first stores a file and leaves out a link to a folder,
  // the second finds nothing changed.
  void SetUp() override {
    store_.Write("a.txt", "a");
    std::filesystem::create_directories(store_.source + "/sub");
    std::filesystem::create_directory_symlink(store_.source + "/sub", store_.source + "/link");
    store_.Backup();
    firstRun_ = store_.host.logged;
    store_.SetDay(2, 3, 2006);
    store_.Backup();
    secondRun_ = store_.host.logged;
  }

  LogPlace Place() const {
    return LogPlace{store_.root, store_.stationName, store_.ctx.Layout().LogPath()};
  }

  test::StoreFixture store_;
  std::vector<std::string> firstRun_;
  std::vector<std::string> secondRun_;
};

TEST_F(LogLanguageTest, EveryLineOfARunIsShownInTheLanguage) {
  ASSERT_FALSE(firstRun_.empty());
  ASSERT_FALSE(secondRun_.empty());
  for (const auto* run : {&firstRun_, &secondRun_}) {
    for (const std::string& line : *run) ExpectShownInLanguage(TranslateMessage(line), line);
  }
  EXPECT_EQ(TranslateMessage(secondRun_.back()),
            Either("Fin de la sauvegarde !", "End of the backup!"));
}

TEST_F(LogLanguageTest, TheViewerTranslatesTheLinesAndTheFileStaysFrench) {
  const std::string path = Place().path;
  const std::string onDisk = ReadWholeFile(store_.fs, path);
  EXPECT_NE(onDisk.find(";Fin de la sauvegarde !"), std::string::npos);
  EXPECT_NE(onDisk.find(";Le lien symbolique ("), std::string::npos);

  test::FakeDialogs dialogs;
  LogViewer viewer;
  viewer.ShowLog(store_.fs, dialogs, Place());
  EXPECT_TRUE(dialogs.calls().empty());
  auto* grid = viewer.findChild<QTableWidget*>(QStringLiteral("StringGrid1"));
  ASSERT_NE(grid, nullptr);
  // The second run's day, 02/03/2006, in the locale's short form.
  const std::string locale = QLocale::system().name().toStdString();
  const std::string day = locale == "en_US"   ? "3/2/06 "
                          : locale == "de_DE" ? "02.03.06 "
                                              : "02/03/2006 ";
  ASSERT_NE(grid->item(0, 0), nullptr);
  EXPECT_EQ(grid->item(0, 0)->text().toStdString().rfind(day, 0), 0u)
      << locale << ": " << grid->item(0, 0)->text().toStdString();
  int shown = 0;
  for (int row = 0; row < grid->rowCount(); ++row) {
    const QTableWidgetItem* message = grid->item(row, 1);
    if (message == nullptr) continue;
    ExpectShownInLanguage(message->text().toStdString(), "log row " + std::to_string(row));
    ++shown;
  }
  EXPECT_EQ(static_cast<size_t>(shown), LoadLogRows(store_.fs, Place()).rows.filled.size());
}

}  // namespace
}  // namespace varnoket
