#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/ActivityLog.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

LocalDateTime At(int year, int month, int day, int hour, int minute, int second, int ms = 0) {
  return LocalDateTime{year, month, day, hour, minute, second, ms};
}

TEST(DateTimeTextTest, DayMonthYearThenTimeExceptAtExactMidnight) {
  EXPECT_EQ(DateTimeText(At(2006, 2, 1, 3, 4, 5)), "01/02/2006 03:04:05");
  EXPECT_EQ(DateTimeText(At(2024, 12, 31, 23, 59, 59, 999)), "31/12/2024 23:59:59");
  EXPECT_EQ(DateTimeText(At(2024, 3, 15, 0, 0, 0)), "15/03/2024");
  // A millisecond past midnight is no longer midnight.
  EXPECT_EQ(DateTimeText(At(2024, 3, 15, 0, 0, 0, 1)), "15/03/2024 00:00:00");
}

class ActivityLogTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  std::string log_ = dir_ / "LASTBACKUP.LOG";
  ManualClock clock_{At(2024, 3, 15, 14, 5, 9)};
  PosixFileSystem fs_;
};

TEST_F(ActivityLogTest, FirstCallWritesHeaderLaterCallsOneLineEach) {
  LogActivity(fs_, log_, "Debut de la sauvegarde", clock_);
  EXPECT_EQ(test::ReadFile(log_), "DATE;MESSAGE\r\n15/03/2024 14:05:09;Debut de la sauvegarde\r\n");

  clock_.Set(At(2024, 3, 15, 14, 6, 0));
  LogActivity(fs_, log_, "a;b;c", clock_);  // written as given, ';' included
  LogActivity(fs_, log_, "", clock_);
  EXPECT_EQ(test::ReadFile(log_),
            "DATE;MESSAGE\r\n"
            "15/03/2024 14:05:09;Debut de la sauvegarde\r\n"
            "15/03/2024 14:06:00;a;b;c\r\n"
            "15/03/2024 14:06:00;\r\n");
}

TEST_F(ActivityLogTest, MissingFolderLeavesNoFileAndNoError) {
  const std::string inMissing = dir_ / "no-such-station/LASTBACKUP.LOG";
  EXPECT_NO_THROW(LogActivity(fs_, inMissing, "perdu", clock_));
  EXPECT_NO_THROW(AppendLine(fs_, inMissing, "perdu", kLogHeader, true));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "no-such-station"));
  // A folder where the file should be is not written into either.
  std::filesystem::create_directory(log_);
  EXPECT_NO_THROW(LogActivity(fs_, log_, "perdu", clock_));
  EXPECT_TRUE(std::filesystem::is_directory(log_));
}

TEST_F(ActivityLogTest, AppendLineRecreatesOnRequestAndWhenMissing) {
  test::WriteFile(log_, "old line\r\n");
  AppendLine(fs_, log_, "one", "", false);
  EXPECT_EQ(test::ReadFile(log_), "old line\r\none\r\n");  // the header only goes in a new file

  AppendLine(fs_, log_, "two", "HEAD", true);
  EXPECT_EQ(test::ReadFile(log_), "HEAD\r\ntwo\r\n");

  AppendLine(fs_, log_, "three", "", true);  // emptied, and no header line at all
  EXPECT_EQ(test::ReadFile(log_), "three\r\n");

  const std::string other = dir_ / "other.txt";
  AppendLine(fs_, other, "first", "HEAD", false);
  EXPECT_EQ(test::ReadFile(other), "HEAD\r\nfirst\r\n");
}

TEST(ReadWholeFileTest, TextEndsAtFirstNulAndUnreadableGivesEmpty) {
  test::TempDir dir;
  PosixFileSystem fs;
  test::WriteFile(dir / "plain.txt", "ligne 1\r\nligne 2\r\n");
  EXPECT_EQ(ReadWholeFile(fs, dir / "plain.txt"), "ligne 1\r\nligne 2\r\n");

  test::WriteFile(dir / "nul.txt", std::string("avant\0apres", 11));
  EXPECT_EQ(ReadWholeFile(fs, dir / "nul.txt"), "avant");

  // A large file, with the NUL well past the first read.
  std::string big(100000, 'x');
  big[70000] = '\0';
  test::WriteFile(dir / "big.txt", big);
  EXPECT_EQ(ReadWholeFile(fs, dir / "big.txt"), std::string(70000, 'x'));

  EXPECT_EQ(ReadWholeFile(fs, dir / "missing.txt"), "");
  EXPECT_EQ(ReadWholeFile(fs, dir.path()), "");
}

}  // namespace
}  // namespace varnoket
