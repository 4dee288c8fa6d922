// The store on a real removable disk (an image on a loop device): unplugged,
// replaced by another store's disk, or pulled out in the middle of a run, it
// is never taken for an empty store, nothing lands on the system disk in its
// place, and once it is back the next run completes and every day restores.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "engine/BackupRun.h"
#include "settings/StoreMarker.h"
#include "store-disk/LoopDisk.h"
#include "support/FaultyFileSystem.h"
#include "support/KeptDay.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// Every name below `folder`, the file system's own lost+found left out.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fsys::recursive_directory_iterator(folder)) {
    const std::string relative = fsys::relative(e.path(), folder).string();
    if (relative.rfind("lost+found", 0) != 0) names.push_back(relative);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class RemovableDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_ = std::make_unique<LoopDisk>(f.tmp / "disk.img", Point(), 16);
    if (!disk_->Mounted()) GTEST_SKIP() << disk_->why();
    // The store as the configuration makes it: marked, its id recorded.
    const auto marker = MarkStore(DefaultFileSystem(), Point());
    ASSERT_TRUE(marker);
    f.ctx.programSettingsPath = f.tmp / "prog/VARNOKET.INI";
    WriteFile(f.ctx.programSettingsPath,
              "[PARAMS]\r\nRACINE=" + Point() + "\r\nSTOREID=" + marker->id + "\r\n");
    f.root = Point();
    f.ctx.backupRoot = Point();
    f.station = StationSettings();
    ASSERT_TRUE(LoadStationSettings(DefaultFileSystem(), f.dialogs, f.station, Point(),
                                    f.stationName, PathRules(PathStyle::kPosix)));
    f.station.backupDirectories = {f.source};
  }

  std::string Point() const { return f.tmp / "media/disk"; }

  // A first day on the disk, then a change for the second.
  std::map<std::string, std::string> FirstDayThenChange() {
    f.Write("a.txt", "alpha");
    f.Write("d/b.txt", std::string(50000, 'b'));
    EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
    const auto first = f.Snapshot();
    f.SetDay(2, 3, 2006);
    f.Write("a.txt", "beta");
    f.Write("d/c.txt", "new");
    return first;
  }

  // The disk is back: the next run completes and both days restore.
  void NextRunCompletes(const std::map<std::string, std::string>& first) {
    EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted) << f.ctx.refusal;
    EXPECT_EQ(f.Days(), (std::vector<std::string>{"01032006", "02032006"}));
    EXPECT_EQ(f.RestoreDay("01032006").files, first);
    EXPECT_EQ(f.RestoreDay("02032006").files, f.Snapshot());
  }

  FaultyFileSystem fs_;
  StoreFixture f{fs_};
  std::unique_ptr<LoopDisk> disk_;  // after the fixture: unmounted before its folder goes
};

TEST_F(RemovableDiskTest, TheEmptyMountPointOfAnUnpluggedDiskIsNeverWritten) {
  const auto first = FirstDayThenChange();
  ASSERT_TRUE(disk_->Unplug());

  EXPECT_EQ(f.Backup(), BackupOutcome::kStoreAbsent);
  EXPECT_EQ(f.ctx.refusal, "Disque de sauvegarde absent (" + Point() + ")");
  EXPECT_EQ(f.host.logged, std::vector<std::string>{f.ctx.refusal});
  EXPECT_TRUE(fsys::is_empty(Point()));
  EXPECT_EQ(f.station.lastBackupDate, KeptDay("01/03/2006"));

  ASSERT_TRUE(disk_->Plug());
  NextRunCompletes(first);
}

TEST_F(RemovableDiskTest, AnotherStoresDiskInItsPlaceIsNeverWritten) {
  const auto first = FirstDayThenChange();
  ASSERT_TRUE(disk_->Unplug());
  {
    LoopDisk other(f.tmp / "other.img", Point(), 16);
    ASSERT_TRUE(other.Mounted()) << other.why();
    ASSERT_TRUE(MarkStore(DefaultFileSystem(), Point()));
    EXPECT_EQ(f.Backup(), BackupOutcome::kStoreAbsent);
    EXPECT_EQ(f.ctx.refusal, "Disque de sauvegarde absent (" + Point() +
                                 ") : le disque présent porte une autre sauvegarde.");
    EXPECT_EQ(Names(Point()), std::vector<std::string>{"VARNOKET.STORE"});
    ASSERT_TRUE(other.Unplug());
  }
  ASSERT_TRUE(disk_->Plug());
  NextRunCompletes(first);
}

TEST_F(RemovableDiskTest, ADiskPulledOutDuringARunListsNothingAndTheNextRunCompletes) {
  const auto first = FirstDayThenChange();
  // The first copy of the day pulls the disk out: the desktop unmounts it
  // lazily, and whatever the run still asks of it fails as a gone device's
  // calls do.
  bool pulled = false;
  fs_.rule = [&](FsCall kind, const std::string& path) {
    if (!pulled && kind == FsCall::kCreate && path.find("/.vk-resume/") != std::string::npos) {
      pulled = disk_->Unplug(true);
    }
    return pulled && path.rfind(Point(), 0) == 0 ? EIO : 0;
  };
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  fs_.rule = nullptr;
  ASSERT_TRUE(pulled);
  EXPECT_TRUE(fsys::is_empty(Point()));  // nothing went to the system disk

  ASSERT_TRUE(disk_->Plug());
  EXPECT_EQ(f.Days(), std::vector<std::string>{"01032006"});
  NextRunCompletes(first);
}

TEST_F(RemovableDiskTest, ADiskUnmountedUnderARunNeverGetsItsListOnTheSystemDisk) {
  const auto first = FirstDayThenChange();
  // Every copy is made; the disk leaves (lazily, no call fails) as the run
  // looks at the store a second time, before the day's list: its paths now
  // lead to the empty mount point on the system disk.
  bool pulled = false;
  int markerReads = 0;
  fs_.rule = [&](FsCall kind, const std::string& path) {
    if (kind == FsCall::kReadFile && path == Point() + "/VARNOKET.STORE" && ++markerReads == 2) {
      pulled = disk_->Unplug(true);
    }
    return 0;
  };
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  fs_.rule = nullptr;
  ASSERT_TRUE(pulled);
  EXPECT_EQ(f.ctx.refusal, "Le disque de sauvegarde (" + Point() +
                               ") a été retiré pendant la sauvegarde. Sauvegarde interrompue.");
  for (const std::string& name : Names(Point())) {
    EXPECT_EQ(name.find("filelist.txt"), std::string::npos) << name;
    EXPECT_EQ(name.find("VARNOKET.STORE"), std::string::npos) << name;
  }
  fsys::remove_all(Point());
  fsys::create_directories(Point());

  ASSERT_TRUE(disk_->Plug());
  EXPECT_EQ(f.Days(), std::vector<std::string>{"01032006"});
  NextRunCompletes(first);
}

}  // namespace
}  // namespace varnoket::test
