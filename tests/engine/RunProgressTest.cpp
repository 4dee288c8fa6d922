// What a run tells of its progress, and a run the person stops: the counts
// move while a large file compresses, end with every byte, and a stopped
// run leaves a store the next run completes.
#include <gtest/gtest.h>

#include <random>

#include "engine/BackupRun.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

std::string Random(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen());
  return s;
}

class RunProgressTest : public ::testing::Test {
 protected:
  void WriteSet() {
    for (int i = 0; i < 6; ++i) f.Write("small/f" + std::to_string(i), Random(1000 + i, i));
    f.Write("large.bin", Random(3'000'000, 99));
    f.Write("empty", "");
  }
  static constexpr int64_t kSetBytes = 6 * 1000 + 15 + 3'000'000;

  StoreFixture f;
};

TEST_F(RunProgressTest, CountsMoveWhileALargeFileCompressesAndEndWithEveryByte) {
  WriteSet();
  f.ctx.workers = 2;
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto& shown = f.host.progress;
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front().filesDone, 0);
  EXPECT_EQ(shown.front().bytesDone, 0);
  int inLarge = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(shown[i].filesTotal, 8);
    EXPECT_EQ(shown[i].bytesTotal, kSetBytes);
    EXPECT_LE(shown[i].bytesDone, shown[i].bytesTotal);
    if (i > 0) {
      EXPECT_GE(shown[i].filesDone, shown[i - 1].filesDone);
      EXPECT_GE(shown[i].bytesDone, shown[i - 1].bytesDone);
    }
    if (shown[i].currentFile.ends_with("/large.bin")) ++inLarge;
  }
  // Every read of the large file is told, not only its start and end.
  EXPECT_GT(inLarge, 10);
  EXPECT_EQ(shown.back().filesDone, 8);
  EXPECT_EQ(shown.back().bytesDone, kSetBytes);
  EXPECT_TRUE(shown.back().currentFile.empty());
  EXPECT_EQ(shown.back().Percent(), 100);
}

TEST_F(RunProgressTest, ARunThePersonStopsSaysSoAndTheNextRunCompletesTheDay) {
  WriteSet();
  f.ctx.workers = 2;
  f.host = RecordingHost();
  f.host.cancelInFile = "/large.bin";
  ASSERT_EQ(RunBackup(f.ctx), BackupOutcome::kCancelled);
  EXPECT_TRUE(f.Days().empty());
  ASSERT_FALSE(f.host.logged.empty());
  EXPECT_NE(std::find(f.host.logged.begin(), f.host.logged.end(), kCancelledLine),
            f.host.logged.end());
  EXPECT_EQ(std::find(f.host.logged.begin(), f.host.logged.end(), kStoppedLine),
            f.host.logged.end());
  // The windows and the menu are given back.
  EXPECT_EQ(f.host.restored, 1);
  ASSERT_FALSE(f.host.trayImages.empty());
  EXPECT_EQ(f.host.trayImages.back(), 0);

  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  ASSERT_EQ(f.Days().size(), 1u);
  EXPECT_EQ(f.RestoreDay(f.Days().front()).files, f.Snapshot());
}

TEST(RunProgressPercent, FromBytesElseFromFilesNeverPastAHundred) {
  RunProgress p;
  EXPECT_EQ(p.Percent(), 0);
  p.filesTotal = 4;
  p.filesDone = 1;
  EXPECT_EQ(p.Percent(), 25);  // nothing to read: the files tell
  p.bytesTotal = 1000;
  p.bytesDone = 999;
  EXPECT_EQ(p.Percent(), 99);
  p.bytesDone = 5000;  // a file that grew since the scan
  EXPECT_EQ(p.Percent(), 100);
}

}  // namespace
}  // namespace varnoket::test
