#include <gtest/gtest.h>

#include <filesystem>

#include "engine/Scheduler.h"
#include "support/KeptDay.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

LocalDateTime At(int d, int m, int y, int hh, int mm) {
  return {y, m, d, hh, mm, 0, 0};
}

TEST(Scheduler, DueOnceTheDayIsLaterAndTheTimeReached) {
  EXPECT_FALSE(IsBackupDue(At(2, 3, 2006, 12, 58), KeptDay("01/03/2006"), 13, 0));
  EXPECT_TRUE(IsBackupDue(At(2, 3, 2006, 13, 8), KeptDay("01/03/2006"), 13, 0));
  EXPECT_FALSE(IsBackupDue(At(2, 3, 2006, 23, 59), KeptDay("02/03/2006"), 13, 0));  // done today
  EXPECT_TRUE(IsBackupDue(At(1, 1, 2007, 0, 0), KeptDay("31/12/2006"), 0, 0));  // midnight setting
  EXPECT_TRUE(IsBackupDue(At(1, 3, 2006, 13, 30), KeptDay("31/12/2002"), 13, 30));
  // The clock set back before the last backup: no run until it passes it.
  EXPECT_FALSE(IsBackupDue(At(1, 3, 2006, 18, 0), KeptDay("05/03/2006"), 13, 0));
  EXPECT_FALSE(IsTodayAfter(At(1, 3, 2006, 18, 0), KeptDay("05/03/2006")));
  EXPECT_TRUE(IsTodayAfter(At(1, 3, 2006, 18, 0), std::nullopt));
}

TEST(Scheduler, RemovingTodaysFileListTouchesNothingElse) {
  test::TempDir tmp;
  const StoreLayout layout(PathRules(PathStyle::kPosix), tmp.path(), "PC");
  test::WriteFile(tmp / "PC/07032006/filelist.txt", "x");
  test::WriteFile(tmp / "PC/07032006/_/a.ZZ", "y");
  test::WriteFile(tmp / "PC/06032006/filelist.txt", "z");
  RemoveTodayFileList(DefaultFileSystem(), layout, At(7, 3, 2006, 9, 0));
  EXPECT_FALSE(std::filesystem::exists(tmp / "PC/07032006/filelist.txt"));
  EXPECT_TRUE(std::filesystem::exists(tmp / "PC/07032006/_/a.ZZ"));
  EXPECT_TRUE(std::filesystem::exists(tmp / "PC/06032006/filelist.txt"));
  RemoveTodayFileList(DefaultFileSystem(), layout, At(7, 3, 2006, 9, 0));  // nothing left: no error
}

}  // namespace
}  // namespace varnoket
