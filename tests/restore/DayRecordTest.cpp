// One file's record of one day, read for restoring that day's version, and
// how the restore windows write sizes, dates, days and a run's counts.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/DosDate.h"
#include "platform/ShownFormat.h"
#include "restore/DayRecord.h"
#include "restore/RestoreCountsText.h"
#include "restore/ShownValues.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

TEST(DayRecord, GivesTheDaysOwnRecordAndNothingForFoldersOrAbsentPaths) {
  FaultyFileSystem fs;
  StoreFixture f(fs);
  const std::string a = f.Write("a.txt", "first");
  std::filesystem::create_directories(f.source + "/node");
  f.SetDay(1, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  f.Write("a.txt", "second, longer");
  f.SetDay(2, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const StoreLayout& layout = f.ctx.Layout();

  const auto first = DayFileRecord(fs, layout, "01032006", a);
  const auto second = DayFileRecord(fs, layout, "02032006", a);
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(first->content && second->content);
  EXPECT_EQ(first->content->size, 5);
  EXPECT_EQ(second->content->size, 14);
  EXPECT_EQ(first->fullPath, a);
  EXPECT_NE(first->storedName, "*");
  // A path that is a folder, a path not recorded, a prefix of a path.
  EXPECT_FALSE(DayFileRecord(fs, layout, "01032006", f.source + "/node"));
  EXPECT_FALSE(DayFileRecord(fs, layout, "01032006", f.source + "/b.txt"));
  EXPECT_FALSE(DayFileRecord(fs, layout, "01032006", f.source + "/a"));
  // An unreadable list gives nothing rather than a guess.
  fs.rule = [](FsCall call, const std::string& path) {
    return call == FsCall::kOpenRead && path.find("filelist") != std::string::npos ? EACCES : 0;
  };
  EXPECT_FALSE(DayFileRecord(fs, layout, "01032006", a));
}

TEST(ShownValues, SizesDatesAndDays) {
  EXPECT_EQ(ByteSizeText(0, SizeStyle::kExact), "0 o");
  EXPECT_EQ(ByteSizeText(999, SizeStyle::kExact), "999 o");
  EXPECT_EQ(ByteSizeText(1000, SizeStyle::kExact), "1 000 o");
  EXPECT_EQ(ByteSizeText(4294967295, SizeStyle::kExact), "4 294 967 295 o");
  EXPECT_EQ(DosDateText(PackDosDate(LocalDateTime{2026, 3, 7, 9, 5, 42, 0})),
            "07/03/2026 09:05:42");
  EXPECT_EQ(DayFolderText("07032026"), "07/03/2026");
  EXPECT_EQ(DayFolderText("2024"), "2024");
}

TEST(RestoreCountsText, AStoppedRunCountsWhatCameBackAndWhatDidNot) {
  RestoreRunTotals totals;
  totals.aborted = true;
  totals.created = 2;
  totals.upToDate = 1;
  totals.skipped = 1;
  totals.errors = 1;
  totals.restoredCount = 3;
  // Skipped, failed and never reached files are all "not restored".
  EXPECT_EQ(StoppedCountsText(totals, 10), "Fichiers restaurés : 3 ; non restaurés : 7");
  EXPECT_EQ(StoppedCountsText(totals, 2), "Fichiers restaurés : 3 ; non restaurés : 0");
  const RestoreSummary stopped = RunSummaryOf(totals, 10);
  EXPECT_EQ(
      stopped.text.rfind("Restauration abandonnée par l'utilisateur !\r\nFichiers restaurés : "
                         "3 ; non restaurés : 7\r\nFichiers : 2 créé(s), 1 ",
                         0),
      0u)
      << stopped.text;
  totals.aborted = false;
  const RestoreSummary done = RunSummaryOf(totals, 10);
  EXPECT_TRUE(done.warning);
  EXPECT_EQ(done.text.find("non restaurés"), std::string::npos);
  EXPECT_NE(done.text.find("\r\nFichiers : 2 créé(s)"), std::string::npos);
}

}  // namespace
}  // namespace varnoket::test
