// A small real disk that fills up: changes that cannot fit are refused
// before any copy; a disk that fills anyway (another program writes there
// during the run) stops the run cleanly with nothing half listed; and the
// next run completes once the merge of the oldest days has freed room.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "engine/BackupRun.h"
#include "settings/StoreMarker.h"
#include "store-disk/LoopDisk.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"
#include "support/TestBytes.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

std::string Incompressible(size_t n, unsigned seed) {
  return RandomBytes(n, seed);
}

class FullDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_ = std::make_unique<LoopDisk>(f.tmp / "small.img", Point(), 12);
    if (!disk_->Mounted()) GTEST_SKIP() << disk_->why();
    ASSERT_TRUE(MarkStore(DefaultFileSystem(), Point()));
    f.root = Point();
    f.ctx.backupRoot = Point();
    f.station = StationSettings();
    ASSERT_TRUE(LoadStationSettings(DefaultFileSystem(), f.dialogs, f.station, Point(),
                                    f.stationName, PathRules(PathStyle::kPosix)));
    f.station.backupDirectories = {f.source};
  }

  std::string Point() const { return f.tmp / "media/small"; }
  uint64_t Free() const { return fsys::space(Point()).available; }

  FaultyFileSystem fs_;
  StoreFixture f{fs_};
  std::unique_ptr<LoopDisk> disk_;
};

TEST_F(FullDiskTest, AFullDiskIsSaidBeforeCopyingAndTheMergeOfOldDaysMakesRoom) {
  // Each day brings one file of 40 % of the disk that cannot be compressed.
  const size_t part = static_cast<size_t>(Free() * 4 / 10);
  f.Write("a.bin", Incompressible(part, 1));
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto day1 = f.Snapshot();
  f.SetDay(2, 3, 2006);
  f.Remove("a.bin");
  f.Write("b.bin", Incompressible(part, 2));
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto day2 = f.Snapshot();

  // A third such file does not fit: nothing is copied, the store is as it was.
  f.SetDay(3, 3, 2006);
  f.Remove("b.bin");
  f.Write("c.bin", Incompressible(part, 3));
  const uint64_t freeBefore = Free();
  EXPECT_EQ(f.Backup(), BackupOutcome::kNoSpace);
  EXPECT_NE(f.host.errorWindow.at(0).find("il manque"), std::string::npos);
  EXPECT_EQ(f.Days(), (std::vector<std::string>{"01032006", "02032006"}));
  EXPECT_FALSE(fsys::exists(f.DayFolder("03032006")));
  EXPECT_GE(Free() + 64 * 1024, freeBefore);  // the log's lines, no copy
  EXPECT_EQ(f.RestoreDay("01032006").files, day1);

  // Fewer days kept: the merge frees the first day's copy and the check
  // passes, but another program fills the disk as the copy starts.
  f.daysKept = 2;
  const std::string filler = f.tmp / "media/small/filler";
  bool filled = false;
  fs_.rule = [&](FsCall kind, const std::string& path) {
    if (!filled && kind == FsCall::kCreate && path.find("/.vk-resume/") != std::string::npos) {
      filled = true;
      std::ofstream out(filler, std::ios::binary);
      const std::string block(1024 * 1024, 'f');
      while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) {
      }
    }
    return 0;
  };
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  fs_.rule = nullptr;
  ASSERT_TRUE(filled);
  EXPECT_EQ(f.Days(), std::vector<std::string>{"02032006"});
  EXPECT_EQ(f.RestoreDay("02032006").files, day2);

  // The other program's file goes: the next run completes.
  fsys::remove(filler);
  EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted) << ::testing::PrintToString(f.host.errorWindow);
  EXPECT_EQ(f.Days(), (std::vector<std::string>{"02032006", "03032006"}));
  EXPECT_EQ(f.RestoreDay("02032006").files, day2);
  EXPECT_EQ(f.RestoreDay("03032006").files, f.Snapshot());
}

}  // namespace
}  // namespace varnoket::test
