#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/InstanceLock.h"
#include "support/OtherUser.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

// Runs `body` in a child process and returns its exit status.
int InChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The first safe place, as the station's stand-in lock finds it.
std::string PrivateFolderOf(const PrivateFolderPlaces& places) {
  std::vector<std::string> refusals;
  return PrivateFolder(places, refusals);
}

// A machine's folders in miniature: a shared temporary folder (every user
// may write it, as /tmp), a runtime folder and a home for this user, and the
// same for the other user.
class PrivatePlaces : public ::testing::Test {
 protected:
  PrivatePlaces() {
    namespace fs = std::filesystem;
    // The other user must be able to reach the shared folder.
    fs::permissions(tmp_.path(), fs::perms::owner_all | fs::perms::others_exec);
    fs::create_directories(tmp_ / "tmp");
    fs::permissions(tmp_ / "tmp", fs::perms::all | fs::perms::sticky_bit);
    fs::create_directories(tmp_ / "home");
    fs::create_directories(tmp_ / "run");
    fs::permissions(tmp_ / "run", fs::perms::owner_all);
    mine_.runtimeDir = tmp_ / "run";
    mine_.tempRoot = tmp_ / "tmp";
    mine_.home = tmp_ / "home";
    mine_.uid = ::geteuid();
    theirs_ = mine_;
    theirs_.runtimeDir.clear();
    theirs_.runUserRoot = tmp_ / "no-run-user";
    theirs_.home = tmp_ / "their-home";
    theirs_.uid = test::kOtherUid;
  }

  test::TempDir tmp_;
  PrivateFolderPlaces mine_;
  PrivateFolderPlaces theirs_;
};

TEST_F(PrivatePlaces, ASecondProcessFindsTheMarkerTakenUntilItIsReleased) {
  InstanceLock first(mine_);
  ASSERT_EQ(first.TryAcquire(), InstanceLockStatus::kAcquired);
  EXPECT_EQ(first.Folder(), mine_.runtimeDir);
  struct stat info {};
  ASSERT_EQ(::stat((mine_.runtimeDir + "/varnoket.lock").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  int waits = 0;
  EXPECT_EQ(InChild([&] {
              InstanceLock second(mine_);
              const InstanceLockStatus status = ProbeInstance(second, 10, [&] { ++waits; });
              if (status != InstanceLockStatus::kHeld) return 1;
              // The second start finds the running copy's socket beside it.
              return second.SocketPath() == mine_.runtimeDir + "/varnoket.socket" ? 10 + waits : 2;
            }),
            10 + 9);  // ten attempts, nine waits between them, then give up
  first.Release();
  EXPECT_EQ(InChild([&] {
              InstanceLock second(mine_);
              return ProbeInstance(second, 10, {}) == InstanceLockStatus::kAcquired ? 1 : 0;
            }),
            1);
}

TEST_F(PrivatePlaces, AProcessThatEndsLeavesTheMarkerFree) {
  // The child takes the marker and ends at once, releasing nothing itself.
  EXPECT_EQ(InChild([&] {
              InstanceLock held(mine_);
              ::_exit(held.TryAcquire() == InstanceLockStatus::kAcquired ? 0 : 1);
              return 2;
            }),
            0);
  InstanceLock after(mine_);
  EXPECT_EQ(after.TryAcquire(), InstanceLockStatus::kAcquired);
}

TEST_F(PrivatePlaces, WithoutARuntimeFolderTheFallbackIsMadeOwnerOnly) {
  mine_.runtimeDir.clear();
  mine_.runUserRoot = tmp_ / "no-run-user";
  InstanceLock lock(mine_);
  ASSERT_EQ(lock.TryAcquire(), InstanceLockStatus::kAcquired);
  const std::string fallback = mine_.tempRoot + "/varnoket-" + std::to_string(mine_.uid);
  EXPECT_EQ(lock.Folder(), fallback);
  struct stat info {};
  ASSERT_EQ(::lstat(fallback.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(PrivateFolderOf(mine_), fallback);  // where the station's stand-in lock goes too

  // The usual runtime folder, when the variable is unset but the folder is
  // there, comes first: a copy started from cron finds the desktop's.
  const std::string runUser = tmp_ / "run-user";
  std::filesystem::create_directories(runUser + "/" + std::to_string(mine_.uid));
  std::filesystem::permissions(runUser + "/" + std::to_string(mine_.uid),
                               std::filesystem::perms::owner_all);
  mine_.runUserRoot = runUser;
  EXPECT_EQ(PrivateFolderOf(mine_), runUser + "/" + std::to_string(mine_.uid));
}

TEST_F(PrivatePlaces, PlantedMarkersAndUnsafeFoldersArePassedOverNotObeyed) {
  // A link planted where the marker goes: refused, its target untouched.
  const std::string target = tmp_ / "target";
  test::WriteFile(target, "keep");
  std::filesystem::create_symlink(target, mine_.runtimeDir + "/varnoket.lock");
  {
    InstanceLock lock(mine_);
    ASSERT_EQ(lock.TryAcquire(), InstanceLockStatus::kAcquired);
    EXPECT_EQ(lock.Folder(), mine_.tempRoot + "/varnoket-" + std::to_string(mine_.uid));
    ASSERT_EQ(lock.Refusals().size(), 1u);
    EXPECT_NE(lock.Refusals()[0].find("est un lien"), std::string::npos) << lock.Refusals()[0];
  }
  EXPECT_EQ(test::ReadFile(target), "keep");
  std::filesystem::remove(mine_.runtimeDir + "/varnoket.lock");

  // A pipe under the marker's name neither blocks the start nor is taken.
  ASSERT_EQ(::mkfifo((mine_.runtimeDir + "/varnoket.lock").c_str(), 0600), 0);
  {
    InstanceLock lock(mine_);
    ASSERT_EQ(lock.TryAcquire(), InstanceLockStatus::kAcquired);
    EXPECT_NE(lock.Folder(), mine_.runtimeDir);
    ASSERT_EQ(lock.Refusals().size(), 1u);
    EXPECT_NE(lock.Refusals()[0].find("n'est pas un fichier ordinaire"), std::string::npos);
  }
  std::filesystem::remove(mine_.runtimeDir + "/varnoket.lock");

  // A runtime folder others may write is no place of this user's own.
  std::filesystem::permissions(mine_.runtimeDir, std::filesystem::perms::all);
  {
    InstanceLock lock(mine_);
    ASSERT_EQ(lock.TryAcquire(), InstanceLockStatus::kAcquired);
    EXPECT_NE(lock.Folder(), mine_.runtimeDir);
    ASSERT_EQ(lock.Refusals().size(), 1u);
    EXPECT_NE(lock.Refusals()[0].find("modifiable par d'autres"), std::string::npos);
  }

  // A runtime folder that is a link to this user's own folder is refused
  // too: what is checked must be what is used.
  mine_.runtimeDir = tmp_ / "run-link";
  std::filesystem::create_directory_symlink(tmp_ / "run", mine_.runtimeDir);
  InstanceLock lock(mine_);
  ASSERT_EQ(lock.TryAcquire(), InstanceLockStatus::kAcquired);
  EXPECT_NE(lock.Folder(), mine_.runtimeDir);
}

TEST_F(PrivatePlaces, AnotherUserCanNeitherStopNorShareThisUsersMarker) {
  std::string why;
  if (!test::CanActAsOtherUser(why)) GTEST_SKIP() << why;
  InstanceLock mine(mine_);
  ASSERT_EQ(mine.TryAcquire(), InstanceLockStatus::kAcquired);

  // The other user's program, at the same time, gets a marker of its own:
  // its fallback folder, owner-only and theirs.
  const std::string theirFolder = mine_.tempRoot + "/varnoket-" + std::to_string(test::kOtherUid);
  EXPECT_EQ(test::AsOtherUser([&] {
              InstanceLock theirs(theirs_);
              if (theirs.TryAcquire() != InstanceLockStatus::kAcquired) return 1;
              return theirs.Folder() == theirFolder ? 0 : 2;
            }),
            0);
  struct stat info {};
  ASSERT_EQ(::lstat(theirFolder.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, test::kOtherUid);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // The other user takes this user's fallback name first (a folder open to
  // all), and plants a marker of theirs in it.
  const std::string taken = mine_.tempRoot + "/varnoket-" + std::to_string(mine_.uid);
  EXPECT_EQ(test::AsOtherUser([&] {
              if (::mkdir(taken.c_str(), 0777) != 0 || ::chmod(taken.c_str(), 0777) != 0) return 1;
              test::WriteFile(taken + "/varnoket.lock", "");
              return 0;
            }),
            0);
  mine.Release();
  mine_.runtimeDir.clear();
  mine_.runUserRoot = tmp_ / "no-run-user";
  InstanceLock moved(mine_);
  ASSERT_EQ(moved.TryAcquire(), InstanceLockStatus::kAcquired);
  EXPECT_EQ(moved.Folder(), mine_.home + "/.cache/varnoket");
  ASSERT_EQ(moved.Refusals().size(), 1u);
  EXPECT_NE(moved.Refusals()[0].find("appartient à un autre utilisateur"), std::string::npos)
      << moved.Refusals()[0];
  EXPECT_EQ(PrivateFolderOf(mine_), mine_.home + "/.cache/varnoket");

  // A marker of another user's planted in this user's runtime folder (root
  // or a past program could leave one) is not this user's marker.
  moved.Release();
  mine_.runtimeDir = tmp_ / "run";
  test::WriteFile(mine_.runtimeDir + "/varnoket.lock", "");
  ASSERT_EQ(
      ::chown((mine_.runtimeDir + "/varnoket.lock").c_str(), test::kOtherUid, test::kOtherGid), 0);
  InstanceLock planted(mine_);
  ASSERT_EQ(planted.TryAcquire(), InstanceLockStatus::kAcquired);
  EXPECT_EQ(planted.Folder(), mine_.home + "/.cache/varnoket");
  ASSERT_GE(planted.Refusals().size(), 1u);
  EXPECT_NE(planted.Refusals()[0].find("le marqueur"), std::string::npos) << planted.Refusals()[0];

  // $XDG_RUNTIME_DIR naming a folder of someone else's.
  std::filesystem::remove(mine_.runtimeDir + "/varnoket.lock");
  ASSERT_EQ(::chown(mine_.runtimeDir.c_str(), test::kOtherUid, test::kOtherGid), 0);
  planted.Release();
  InstanceLock foreign(mine_);
  ASSERT_EQ(foreign.TryAcquire(), InstanceLockStatus::kAcquired);
  EXPECT_EQ(foreign.Folder(), mine_.home + "/.cache/varnoket");
  ASSERT_GE(foreign.Refusals().size(), 1u);
  EXPECT_NE(foreign.Refusals()[0].find("appartient à un autre utilisateur"), std::string::npos);
}

TEST_F(PrivatePlaces, WithNoSafePlaceTheLockSaysSoInsteadOfWaiting) {
  mine_.runtimeDir = "relative/run";
  mine_.runUserRoot.clear();
  mine_.tempRoot = tmp_ / "not-a-folder";
  test::WriteFile(mine_.tempRoot, "");
  mine_.home.clear();
  InstanceLock lock(mine_);
  int waits = 0;
  EXPECT_EQ(ProbeInstance(lock, 10, [&] { ++waits; }), InstanceLockStatus::kNoSafePlace);
  EXPECT_EQ(waits, 0);
  EXPECT_EQ(lock.Refusals().size(), 1u);
  EXPECT_EQ(lock.SocketPath(), "");
  std::vector<std::string> refusals;
  EXPECT_EQ(PrivateFolder(mine_, refusals), "");
  EXPECT_EQ(refusals, lock.Refusals());
}

TEST(InstanceLock, TheUpdateRoleBelongsToTheUpdateProgramNameInAnyCase) {
  EXPECT_EQ(RoleOf("/opt/varnoket/upload/_file1.exe"), ProgramRole::kUpdate);
  EXPECT_EQ(RoleOf("/opt/varnoket/upload/_FILE1.exe"), ProgramRole::kUpdate);
  EXPECT_EQ(RoleOf("C:\\Prog\\upload\\_FILE1.EXE"), ProgramRole::kUpdate);
  EXPECT_EQ(RoleOf("/opt/varnoket/upload/_FILE2"), ProgramRole::kNormal);
  EXPECT_EQ(RoleOf("/opt/varnoket/varnoket"), ProgramRole::kNormal);
  EXPECT_EQ(RoleOf("/opt/varnoket/_FILE1.EXE.old"), ProgramRole::kNormal);
}

}  // namespace
}  // namespace varnoket
