// Where the store's file system takes no lock, a run locks a stand-in file of
// this user's own: in the user's runtime folder or owner-only fallback, never
// a name in the shared temporary folder that another local user could take
// first. With no safe folder the run stops and says why.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/StationLock.h"
#include "platform/InstanceLockFolder.h"
#include "support/FaultyFileSystem.h"
#include "support/OtherUser.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// The real file system, its user's own folders found in a machine in
// miniature, and locks refused on the store's lock file.
class PlacedFileSystem final : public FaultyFileSystem {
 public:
  std::string PrivateFolder(std::vector<std::string>& refusals) override {
    return varnoket::PrivateFolder(places, refusals);
  }
  PrivateFolderPlaces places;
};

class StationStandInLockTest : public ::testing::Test {
 protected:
  StationStandInLockTest() {
    // The other user must reach the shared folder, as /tmp.
    fsys::permissions(machine_.path(), fsys::perms::owner_all | fsys::perms::others_exec);
    fsys::create_directories(machine_ / "tmp");
    fsys::permissions(machine_ / "tmp", fsys::perms::all | fsys::perms::sticky_bit);
    fsys::create_directories(machine_ / "run");
    fsys::permissions(machine_ / "run", fsys::perms::owner_all);
    fsys::create_directories(machine_ / "home");
    disk_.places.runtimeDir = machine_ / "run";
    disk_.places.runUserRoot = machine_ / "no-run-user";
    disk_.places.tempRoot = machine_ / "tmp";
    disk_.places.home = machine_ / "home";
    disk_.places.uid = ::geteuid();
    const std::string lockFile = Station() + "/VARNOKET.LOCK";
    disk_.rule = [lockFile](FsCall kind, const std::string& path) {
      return kind == FsCall::kLock && path == lockFile ? ENOLCK : 0;
    };
    f.Write("a.txt", "a");
  }

  std::string Station() const { return f.root + "/" + f.stationName; }
  std::string StandInName() {
    std::string why;
    return fsys::path(LocalStandInLockPath(disk_, Station(), why)).filename();
  }

  TempDir machine_;
  PlacedFileSystem disk_;
  StoreFixture f{disk_};
};

TEST_F(StationStandInLockTest, TheRunLocksAFileInThisUsersRuntimeFolder) {
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted) << ::testing::PrintToString(f.host.errorWindow);
  const std::string standIn = disk_.places.runtimeDir + "/" + StandInName();
  EXPECT_TRUE(fsys::is_regular_file(standIn)) << standIn;
  EXPECT_TRUE(fsys::is_empty(machine_ / "tmp"));
  EXPECT_NE(ReadFile(standIn).find("ended=1"), std::string::npos) << ReadFile(standIn);

  // Another run of this user's holding it stops the next one.
  std::unique_ptr<FileLock> other;
  ASSERT_EQ(DefaultFileSystem().LockFile(standIn, false, other), LockStatus::kAcquired);
  EXPECT_EQ(f.Backup(), BackupOutcome::kBusy);
}

// A store on a network share is written by other machines: a lock of this
// machine alone would not keep them out, so the run writes nothing.
TEST_F(StationStandInLockTest, AStoreOnANetworkShareWithoutLocksIsNeverWritten) {
  f.ctx.storeOnNetwork = true;
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  ASSERT_EQ(f.host.errorWindow.size(), 1u);
  EXPECT_NE(f.host.errorWindow[0].find("ne permet pas de verrou : aucune sauvegarde n'est faite"),
            std::string::npos)
      << f.host.errorWindow[0];
  EXPECT_TRUE(f.Days().empty());
  EXPECT_TRUE(fsys::is_empty(machine_ / "run"));
  EXPECT_FALSE(fsys::exists(Station() + "/LASTBACKUP.LOG"));
}

TEST_F(StationStandInLockTest, AnotherUserHoldingTheSharedNamesStopsNoRun) {
  std::string why;
  if (!CanActAsOtherUser(why)) GTEST_SKIP() << why;
  // No runtime folder: the fallbacks. The other user made this user's
  // folder in the shared one first, and holds a lock of the station's name
  // there, as older versions named it.
  const std::string name = StandInName();
  disk_.places.runtimeDir.clear();
  const std::string taken = disk_.places.tempRoot + "/varnoket-" + std::to_string(::geteuid());
  const std::string oldName = disk_.places.tempRoot + "/" + name;
  OtherUserHolding other([&](std::shared_ptr<void>& keep) {
    auto lock = std::make_shared<std::unique_ptr<FileLock>>();
    keep = lock;
    return ::mkdir(taken.c_str(), 0777) == 0 && ::chmod(taken.c_str(), 0777) == 0 &&
           DefaultFileSystem().LockFile(oldName, false, *lock) == LockStatus::kAcquired;
  });
  ASSERT_TRUE(other.holds());

  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted) << ::testing::PrintToString(f.host.errorWindow);
  EXPECT_TRUE(fsys::is_regular_file(disk_.places.home + "/.cache/varnoket/" + name));
  struct stat info {};
  ASSERT_EQ(::stat((disk_.places.home + "/.cache/varnoket").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(StationStandInLockTest, WithNoSafeFolderTheRunStopsAndSaysWhy) {
  // A runtime folder anyone may write, a file where the shared folder
  // should be, and no home.
  fsys::permissions(disk_.places.runtimeDir, fsys::perms::all);
  disk_.places.tempRoot = machine_ / "not-a-folder";
  WriteFile(disk_.places.tempRoot, "");
  disk_.places.home.clear();
  const auto before = f.Days();

  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  ASSERT_EQ(f.host.errorWindow.size(), 1u);
  EXPECT_EQ(f.host.errorWindow[0],
            "Le disque de sauvegarde (" + Station() +
                ") ne permet pas de verrou, et aucun dossier de cet utilisateur ne peut recevoir "
                "en sûreté le verrou qui le remplace : le dossier (" +
                disk_.places.runtimeDir +
                ") est modifiable par d'autres utilisateurs ; impossible de créer le dossier (" +
                disk_.places.tempRoot + "/varnoket-" + std::to_string(::geteuid()) +
                ") : Not a directory. Aucune sauvegarde n'est faite.");
  EXPECT_EQ(f.Days(), before);
  EXPECT_TRUE(fsys::is_empty(disk_.places.runtimeDir));
}

}  // namespace
}  // namespace varnoket::test
