// A run that found the store's disk absent starts when the disk comes: a
// real file-system image on a loop device, mounted while the scheduler
// waits, seen through the mount table's change. Needs root and loop devices;
// skipped with the reason otherwise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/DailyScheduler.h"
#include "app/RecordingSchedulerHost.h"
#include "platform/MountWatcher.h"
#include "settings/SettingsKeys.h"
#include "settings/StationSettings.h"
#include "settings/StoreMarker.h"
#include "support/BindMount.h"
#include "support/KeptDay.h"
#include "support/PrivateMountTable.h"
#include "support/StoreFixture.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

bool Run(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A small ext4 image that plays the removable disk.
class LoopDisk {
 public:
  LoopDisk(std::string image, std::string mountPoint)
      : image_(std::move(image)), mountPoint_(std::move(mountPoint)) {}
  ~LoopDisk() {
    if (mounted_) Run("umount -l '" + mountPoint_ + "'");
  }
  LoopDisk(const LoopDisk&) = delete;
  LoopDisk& operator=(const LoopDisk&) = delete;

  bool Make() {
    return Run("truncate -s 16M '" + image_ + "' && mkfs.ext4 -q -F '" + image_ + "'");
  }
  bool Mount() {
    mounted_ = Run("mount -o loop '" + image_ + "' '" + mountPoint_ + "'");
    return mounted_;
  }
  bool Unmount() {
    if (mounted_ && Run("umount '" + mountPoint_ + "'")) mounted_ = false;
    return !mounted_;
  }

 private:
  std::string image_;
  std::string mountPoint_;
  bool mounted_ = false;
};

class StoreArrivalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a disk image needs root";
    TakePrivateMountTable();
    std::filesystem::create_directories(mountPoint_);
    std::filesystem::create_directories(source_);
    disk_ = std::make_unique<LoopDisk>(tmp_ / "disk.img", mountPoint_);
    if (!disk_->Make() || !disk_->Mount()) {
      GTEST_SKIP() << "no loop mount here (truncate, mkfs.ext4 or mount -o loop failed)";
    }
    // The store made on the disk and its id recorded, as configuring it does.
    const std::optional<StoreMarker> marker = MarkStore(fs_, mountPoint_);
    ASSERT_TRUE(marker);
    host_.program.backupRoot = mountPoint_;
    host_.program.preferredHour = 13;
    host_.program.file = std::make_unique<IniFile>(fs_, tmp_ / "VARNOKET.INI");
    WriteKey(*host_.program.file, kStoreIdKey, marker->id);
    ASSERT_TRUE(LoadStationSettings(fs_, dialogs_, station_, mountPoint_, "POSTE1",
                                    PathRules(PathStyle::kPosix)));
    station_.backupDirectories = {source_};
    station_.lastBackupDate = KeptDay("09/03/2026");
    std::ofstream(source_ + "/a.txt") << "alpha";
    ASSERT_TRUE(disk_->Unmount());
    scheduler_ = std::make_unique<DailyScheduler>(fs_, clock_, dialogs_, engineHost_, host_,
                                                  station_, SchedulerSetup{"POSTE1", true});
  }

  bool MountPointEmpty() const { return std::filesystem::is_empty(mountPoint_); }

  TempDir tmp_;
  std::string mountPoint_ = tmp_ / "media/disk";
  std::string source_ = tmp_ / "docs";
  FileSystem& fs_ = DefaultFileSystem();
  ManualClock clock_{LocalDateTime{2026, 3, 10, 13, 5, 0, 0}};
  FakeDialogs dialogs_;
  RecordingHost engineHost_;
  RecordingSchedulerHost host_;
  StationSettings station_;
  std::unique_ptr<LoopDisk> disk_;
  std::unique_ptr<DailyScheduler> scheduler_;
};

TEST_F(StoreArrivalTest, TheDueRunStartsWhenTheDiskIsMountedAndNotForAnyOtherMount) {
  MountWatcher mounts;
  ASSERT_TRUE(mounts.Watching());
  EXPECT_FALSE(mounts.Changed(0)) << "nothing changed since the watcher was made";

  scheduler_->Tick();
  EXPECT_EQ(scheduler_->LastOutcome(), BackupOutcome::kStoreAbsent);
  EXPECT_TRUE(scheduler_->WaitingForStore());
  EXPECT_TRUE(MountPointEmpty()) << "nothing written on the system disk's mount point";

  // Another mount somewhere else: looked at, and the wait goes on.
  std::filesystem::create_directories(tmp_ / "phone");
  std::filesystem::create_directories(tmp_ / "media/phone");
  {
    BindMount phone(tmp_ / "phone", tmp_ / "media/phone");
    ASSERT_TRUE(phone.Mounted());
    ASSERT_TRUE(mounts.Changed(5000));
    scheduler_->MountsChanged();
    EXPECT_EQ(host_.ended.size(), 1u);
    EXPECT_TRUE(scheduler_->WaitingForStore());
  }
  ASSERT_TRUE(mounts.Changed(5000));  // the phone went away
  EXPECT_FALSE(mounts.Changed(0)) << "each change is told once";

  // The disk comes: the run starts on the change, not at the next tick.
  ASSERT_TRUE(disk_->Mount());
  ASSERT_TRUE(mounts.Changed(5000));
  scheduler_->MountsChanged();
  EXPECT_EQ(scheduler_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_FALSE(scheduler_->WaitingForStore());
  EXPECT_TRUE(std::filesystem::exists(mountPoint_ + "/POSTE1/10032026/filelist.txt"));
  EXPECT_EQ(station_.lastBackupDate, KeptDay("10/03/2026"));

  // Once the run is made, later mounts start nothing more.
  ASSERT_TRUE(disk_->Unmount());
  ASSERT_TRUE(mounts.Changed(5000));
  scheduler_->MountsChanged();
  EXPECT_EQ(host_.ended.size(), 2u);
}

TEST_F(StoreArrivalTest, AnotherDiskMountedInItsPlaceIsNotTheStore) {
  scheduler_->Tick();
  ASSERT_EQ(scheduler_->LastOutcome(), BackupOutcome::kStoreAbsent);
  // Another store's disk at the same place: a marker with another id.
  LoopDisk other(tmp_ / "other.img", mountPoint_);
  ASSERT_TRUE(other.Make() && other.Mount());
  ASSERT_TRUE(MarkStore(fs_, mountPoint_));
  scheduler_->MountsChanged();
  EXPECT_EQ(host_.ended.size(), 1u) << "no run on another disk";
  EXPECT_FALSE(std::filesystem::exists(mountPoint_ + "/POSTE1"));
  EXPECT_TRUE(scheduler_->WaitingForStore());
}

// Two disks in turn at one mount point: each one that arrives without the
// day's backup gets it, and one that has it starts nothing.
TEST_F(StoreArrivalTest, WithTwoDisksInTurnEachOneThatArrivesLackingTodaysBackupGetsIt) {
  LoopDisk second(tmp_ / "second.img", mountPoint_);
  ASSERT_TRUE(second.Make() && second.Mount());
  const std::optional<StoreMarker> marker = MarkStore(fs_, mountPoint_);
  ASSERT_TRUE(marker);
  host_.program.otherStores.push_back(StoreEntry{"B", mountPoint_, marker->id});
  ASSERT_TRUE(second.Unmount());

  ASSERT_TRUE(disk_->Mount());
  scheduler_->MountsChanged();
  ASSERT_EQ(host_.ended.size(), 1u);
  EXPECT_EQ(scheduler_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(std::filesystem::exists(mountPoint_ + "/POSTE1/10032026/filelist.txt"));

  // The first disk has today's backup; the second comes in its place.
  ASSERT_TRUE(disk_->Unmount());
  ASSERT_TRUE(second.Mount());
  scheduler_->MountsChanged();
  ASSERT_EQ(host_.ended.size(), 2u);
  EXPECT_EQ(scheduler_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(std::filesystem::exists(mountPoint_ + "/POSTE1/10032026/filelist.txt"));
  EXPECT_NE(ReadFile(mountPoint_ + "/POSTE1/POSTE1.ini").find("D1=" + source_), std::string::npos);

  // Both have it now: plugged in again, neither starts a run.
  scheduler_->MountsChanged();
  ASSERT_TRUE(second.Unmount());
  ASSERT_TRUE(disk_->Mount());
  scheduler_->MountsChanged();
  EXPECT_EQ(host_.ended.size(), 2u);
}

}  // namespace
}  // namespace varnoket::test
