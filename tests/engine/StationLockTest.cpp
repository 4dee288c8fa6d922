// One writer per station: a run never touches a station that another run
// holds or that another machine owns, a run told to end stops cleanly, and
// what a dead run left behind goes with the next run.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "engine/BackupRun.h"
#include "engine/StationCleanup.h"
#include "engine/StationLock.h"
#include "support/KeptDay.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

class StationLockTest : public ::testing::Test {
 protected:
  std::string Station() const { return f.root + "/" + f.stationName; }
  // Every file of the station folder with its bytes, to prove a refused run
  // changed nothing.
  std::map<std::string, std::string> StationFiles() const {
    std::map<std::string, std::string> files;
    for (const auto& e : fsys::recursive_directory_iterator(Station())) {
      if (e.is_regular_file()) files[e.path().string()] = ReadFile(e.path().string());
    }
    return files;
  }

  StoreFixture f;
};

TEST_F(StationLockTest, ARunWaitsForNoOneAndTouchesNothingWhileAnotherProcessHoldsTheStation) {
  f.Write("a.txt", "first day");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto firstDay = f.Snapshot();
  f.SetDay(2, 3, 2006);
  f.Write("a.txt", "second day");

  // Another process (the tray program, another varnoket-cli) holds the
  // station while this run starts.
  int ready[2];
  int release[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(release), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const StoreLayout layout(PathRules(PathStyle::kPosix), f.root, f.stationName);
    StationLock lock = LockStation(DefaultFileSystem(), layout, ThisMachine(DefaultFileSystem()),
                                   LocalDateTime{2006, 3, 2, 13, 59, 0, 0});
    const char ok = lock.status == StationLockStatus::kAcquired ? 1 : 0;
    if (::write(ready[1], &ok, 1) != 1) _exit(2);
    char byte;
    if (::read(release[0], &byte, 1) != 1) _exit(3);
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 1);

  auto before = StationFiles();
  EXPECT_EQ(f.Backup(), BackupOutcome::kBusy);
  // The activity log gets one line, in one write, that says why; nothing
  // else changes.
  auto after = StationFiles();
  const std::string log = Station() + "/LASTBACKUP.LOG";
  ASSERT_EQ(after[log].rfind(before[log], 0), 0u);
  EXPECT_EQ(after[log].substr(before[log].size()), "02/03/2006 14:00:00;" + f.ctx.refusal + "\r\n");
  EXPECT_EQ(f.host.logged, std::vector<std::string>{f.ctx.refusal});
  after.erase(log);
  before.erase(log);
  EXPECT_EQ(after, before);
  EXPECT_FALSE(fsys::exists(f.DayFolder("02032006")));
  EXPECT_NE(f.ctx.refusal.find("déjà en cours"), std::string::npos) << f.ctx.refusal;
  EXPECT_NE(f.ctx.refusal.find("processus " + std::to_string(holder)), std::string::npos)
      << f.ctx.refusal;
  EXPECT_NE(f.ctx.refusal.find("depuis le 02/03/2006 13:59:00"), std::string::npos);
  EXPECT_EQ(f.station.lastBackupDate, KeptDay("01/03/2006"));  // so the next tick tries again
  EXPECT_TRUE(f.host.errorWindow.empty());

  const char go = 1;
  ASSERT_EQ(::write(release[1], &go, 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(holder, &status, 0), holder);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);

  const auto secondDay = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.RestoreDay("01032006").files, firstDay);
  EXPECT_EQ(f.RestoreDay("02032006").files, secondDay);
}

TEST_F(StationLockTest, AStationOwnedByAnotherMachineIsNeverWritten) {
  f.Write("a.txt", "mine");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(ReadFile(Station() + "/MACHINE.ID").rfind("machine=" + f.ctx.machine.id + "\r\n", 0),
            0u);

  // A second machine answering to the same name.
  f.ctx.machine.id = "0123456789abcdef0123456789abcdef";
  f.ctx.machine.host = "autre";
  f.SetDay(2, 3, 2006);
  f.Write("a.txt", "theirs");
  const auto before = StationFiles();
  EXPECT_EQ(f.Backup(), BackupOutcome::kForeignStation);
  EXPECT_EQ(StationFiles(), before);
  ASSERT_EQ(f.host.errorWindow.size(), 1u);
  EXPECT_NE(f.host.errorWindow[0].find("appartient à une autre machine"), std::string::npos);
  EXPECT_NE(f.host.errorWindow[0].find("supprimez le fichier (" + Station() + "/MACHINE.ID)"),
            std::string::npos)
      << f.host.errorWindow[0];

  // A marker that names no machine is refused too, never overwritten.
  WriteFile(Station() + "/MACHINE.ID", "\x01\x02garbage");
  EXPECT_EQ(f.Backup(), BackupOutcome::kForeignStation);
  EXPECT_EQ(ReadFile(Station() + "/MACHINE.ID"), "\x01\x02garbage");

  // The fix the message gives: the marker removed, the station is adopted.
  fsys::remove(Station() + "/MACHINE.ID");
  EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_NE(ReadFile(Station() + "/MACHINE.ID").find("host=autre"), std::string::npos);
}

TEST_F(StationLockTest, ALockFileThatIsNoFileStopsTheRunWithItsName) {
  f.Write("a.txt", "a");
  fsys::create_directories(Station() + "/VARNOKET.LOCK");
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  ASSERT_EQ(f.host.errorWindow.size(), 1u);
  EXPECT_NE(f.host.errorWindow[0].find("Impossible de verrouiller"), std::string::npos);
  EXPECT_NE(f.host.errorWindow[0].find(Station() + "/VARNOKET.LOCK"), std::string::npos);
  EXPECT_NE(f.host.errorWindow[0].find(std::strerror(EISDIR)), std::string::npos)
      << f.host.errorWindow[0];
  EXPECT_TRUE(f.Days().empty());

  // Garbage in a lock file is only an unknown holder: the lock is the
  // kernel's, not the file's contents.
  fsys::remove(Station() + "/VARNOKET.LOCK");
  WriteFile(Station() + "/VARNOKET.LOCK", std::string("\0\xff\r\n=", 5));
  EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(DescribeLockHolder(std::string("\0\xff", 2)), "détenteur inconnu");
}

// A station folder the system cannot look at is named with the system's
// reason; one that is not there keeps its own words.
TEST_F(StationLockTest, AStationFolderThatCannotBeLookedAtStopsTheRunWithTheSystemsReason) {
  fsys::create_directory_symlink(f.root + "/loop", f.root + "/loop");
  const LocalDateTime now{2006, 3, 2, 13, 0, 0, 0};
  const StoreLayout looping(PathRules(PathStyle::kPosix), f.root + "/loop", f.stationName);
  const StationLock refused =
      LockStation(DefaultFileSystem(), looping, ThisMachine(DefaultFileSystem()), now);
  EXPECT_EQ(refused.status, StationLockStatus::kFailed);
  EXPECT_NE(refused.message.find("est illisible : " + std::string(std::strerror(ELOOP))),
            std::string::npos)
      << refused.message;
  EXPECT_NE(refused.message.find(looping.StationFolder()), std::string::npos);

  const StoreLayout missing(PathRules(PathStyle::kPosix), f.root + "/none", f.stationName);
  const StationLock absent =
      LockStation(DefaultFileSystem(), missing, ThisMachine(DefaultFileSystem()), now);
  EXPECT_EQ(absent.status, StationLockStatus::kFailed);
  EXPECT_NE(absent.message.find("est introuvable"), std::string::npos) << absent.message;
}

TEST_F(StationLockTest, ARunToldToEndStopsAtAFileBoundaryAndTheNextOneCompletes) {
  f.Write("a.txt", "first");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  f.SetDay(2, 3, 2006);
  for (int i = 0; i < 20; ++i)
    f.Write("f" + std::to_string(i) + ".txt", std::string(1000 + i, 'x'));

  // The first pump comes in the scan; later ones in the copy.
  for (int stopAt : {1, 30}) {
    SCOPED_TRACE(stopAt);
    f.host = RecordingHost();
    f.host.stopAfterPumps = stopAt;
    EXPECT_EQ(RunBackup(f.ctx), BackupOutcome::kStopped);
    EXPECT_EQ(f.Days(), std::vector<std::string>{"01032006"});
    ASSERT_GE(f.host.logged.size(), 2u);
    EXPECT_EQ(f.host.logged.end()[-2], "Sauvegarde interrompue : le programme se termine.");
    EXPECT_EQ(f.host.logged.back(), "Fin de la sauvegarde !");
    for (const auto& e : fsys::recursive_directory_iterator(Station())) {
      EXPECT_FALSE(IsTemporaryName(e.path().filename().string())) << e.path();
    }
  }
  f.host = RecordingHost();

  const auto secondDay = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.RestoreDay("02032006").files, secondDay);
}

TEST_F(StationLockTest, WhatADeadRunLeftIsRemovedByTheNextRun) {
  f.Write("a.txt", "a");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  // A run killed on 02/03: a partial copy, a list being replaced, a folder
  // without its list; and a merge killed after the older day's list went.
  WriteFile(f.DayFolder("02032006") + "/_/x/.vk-part-999999-4", "partial");
  WriteFile(f.DayFolder("01032006") + "/filelist.txt.tmp-999999", "half a list");
  WriteFile(f.DayFolder("28022006") + "/_/old.ZZ", "orphan");
  WriteFile(Station() + "/" + f.stationName + ".ini.tmp-999999", "half settings");
  // The killed run never said it ended.
  WriteFile(Station() + "/VARNOKET.LOCK", "machine=x\r\npid=999999\r\n");

  f.SetDay(3, 3, 2006);
  f.Write("b.txt", "b");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_FALSE(fsys::exists(f.DayFolder("02032006")));
  EXPECT_FALSE(fsys::exists(f.DayFolder("28022006")));
  EXPECT_FALSE(fsys::exists(f.DayFolder("01032006") + "/filelist.txt.tmp-999999"));
  EXPECT_FALSE(fsys::exists(Station() + "/" + f.stationName + ".ini.tmp-999999"));
  EXPECT_EQ(f.Days(), (std::vector<std::string>{"01032006", "03032006"}));
  bool said = false;
  for (const auto& line : f.host.logged) {
    said = said || line.find(
                       "Nettoyage d'une sauvegarde interrompue : 2 fichier(s) temporaire(s) "
                       "et 2 dossier(s)") == 0;
  }
  EXPECT_TRUE(said);

  // A settings file being replaced by a live process of this machine stays.
  const std::string live =
      Station() + "/" + f.stationName + ".ini.tmp-" + std::to_string(::getpid());
  WriteFile(live, "being written");
  const StoreLayout layout(PathRules(PathStyle::kPosix), f.root, f.stationName);
  RemoveLeftovers(DefaultFileSystem(), layout, "03032006");
  EXPECT_TRUE(fsys::exists(live));
}

TEST(StationCleanupNames, TemporaryNamesAreKnownAndStoredNamesNever) {
  long pid = 0;
  EXPECT_TRUE(IsTemporaryName(".vk-part-42-7", &pid));
  EXPECT_EQ(pid, 42);
  EXPECT_TRUE(IsTemporaryName("filelist.txt.tmp-123", &pid));
  EXPECT_EQ(pid, 123);
  // A stored copy being copied into the newer day by a merge.
  EXPECT_TRUE(IsTemporaryName(".vk-part-notes.ZZ.tmp-9", &pid));
  EXPECT_EQ(pid, 9);
  EXPECT_FALSE(IsTemporaryName("report.tmp-1.ZZ"));
  EXPECT_FALSE(IsTemporaryName("filelist.txt"));
  EXPECT_FALSE(IsTemporaryName(".tmp-12"));
  EXPECT_FALSE(IsTemporaryName("a.tmp-"));
  // Stored copies of the user's files whose names look like ours, and
  // names a list holds.
  EXPECT_FALSE(IsTemporaryName(".vk-part-notes.ZZ"));
  EXPECT_FALSE(IsTemporaryName(".vk-part-1-2.ZZ"));
  EXPECT_FALSE(IsTemporaryName("x.tmp-12.ZZ"));
  EXPECT_FALSE(IsTemporaryName("*"));
  // Not the exact old form: the user's, never ours.
  EXPECT_FALSE(IsTemporaryName(".vk-part-notes"));
  EXPECT_FALSE(IsTemporaryName(".vk-part-1-"));
  EXPECT_FALSE(IsTemporaryName(".vk-part-1"));
}

TEST_F(StationLockTest, UserFilesNamedLikeTemporariesSurviveTheCleanUpOfAnInterruptedRun) {
  // Source files whose names look like what a run leaves behind.
  const std::vector<std::string> lookalikes = {".vk-part-notes", ".vk-part-1-2", ".vk-part-3-4.ZZ",
                                               "x.tmp-12", "d/filelist.txt.tmp-77"};
  for (const auto& name : lookalikes) f.Write(name, "user data of " + name);
  f.Write("other.txt", "v1");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto firstDay = f.Snapshot();
  const auto storedOf = [&](const std::string& name) {
    return f.DayFolder("01032006") + "/" + f.ctx.rules.StoredName(f.source + "/" + name);
  };
  for (const auto& name : lookalikes) ASSERT_TRUE(fsys::is_regular_file(storedOf(name))) << name;

  // The next day's run is interrupted in its copy; it leaves real
  // leftovers beside the user's copies, as an older version or a killed
  // merge would.
  f.SetDay(2, 3, 2006);
  f.Write("other.txt", "v2");
  f.host = RecordingHost();
  f.host.stopOnHint = "Sauvegarde en cours Fichier";
  ASSERT_EQ(RunBackup(f.ctx), BackupOutcome::kStopped);
  const std::string older = f.DayFolder("01032006") + "/_" + f.source;
  WriteFile(older + "/.vk-part-999999-4", "an older version's partial copy");
  WriteFile(older + "/a.txt.ZZ.tmp-999999", "half a merged copy");

  f.SetDay(3, 3, 2006);
  f.Write("other.txt", "v3");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_FALSE(fsys::exists(older + "/.vk-part-999999-4"));
  EXPECT_FALSE(fsys::exists(older + "/a.txt.ZZ.tmp-999999"));
  bool said = false;
  for (const auto& line : f.host.logged) {
    said = said || line.find("Nettoyage d'une sauvegarde interrompue : 2 fichier(s)") == 0;
  }
  EXPECT_TRUE(said);
  // The user's copies are all still there, the unchanged ones were not
  // stored again, and both days restore them byte for byte.
  for (const auto& name : lookalikes) {
    EXPECT_TRUE(fsys::is_regular_file(storedOf(name))) << name;
    EXPECT_FALSE(
        fsys::exists(f.DayFolder("03032006") + "/" + f.ctx.rules.StoredName(f.source + "/" + name)))
        << name;
  }
  EXPECT_EQ(f.RestoreDay("01032006").files, firstDay);
  const auto thirdDay = f.RestoreDay("03032006");
  EXPECT_EQ(thirdDay.errors, 0);
  EXPECT_EQ(thirdDay.files, f.Snapshot());
}

}  // namespace
}  // namespace varnoket::test
