// A station backed up to several stores in turn: each store here gets a
// whole day of its own, one that is away is skipped without a byte written
// at its path, a store inside a folder of the set is never written, and the
// set saved last on any disk becomes every disk's.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/EveryStoreRun.h"
#include "settings/StoreList.h"
#include "settings/StoreMarker.h"
#include "support/KeptDay.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

class EveryStoreRunTest : public ::testing::Test {
 protected:
  EveryStoreRunTest() {
    WriteFile(f.tmp / "prog/VARNOKET.INI", "[PARAMS]\r\nRACINE=" + f.root + "\r\n");
    program.file = std::make_unique<IniFile>(f.fs, f.tmp / "prog/VARNOKET.INI");
    program.backupRoot = program.firstRoot = f.root;
    f.ctx.programSettingsPath = program.file->path();
    f.Write("a.txt", "alpha");
  }

  // A marked store at `root`, added to the list.
  std::string Add(const std::string& name, const std::string& root) {
    fsys::create_directories(root);
    const auto marker = MarkStore(f.fs, root);
    EXPECT_TRUE(marker);
    program.otherStores.push_back(StoreEntry{name, root, marker ? marker->id : ""});
    return marker ? marker->id : "";
  }
  std::vector<StoreRun> Run() {
    f.host = RecordingHost();
    return RunBackupOnEveryStore(f.ctx, program);
  }
  bool Logged(const std::string& part) const {
    for (const std::string& line : f.host.logged) {
      if (line.find(part) != std::string::npos) return true;
    }
    return false;
  }

  StoreFixture f;
  ProgramSettings program;
};

TEST_F(EveryStoreRunTest, EachStoreHereGetsItsOwnDayOneAwayIsLeftAloneAndTheLatestSetWins) {
  const std::string b = f.tmp / "b";
  const std::string idB = Add("B", b);
  Add("C", f.tmp / "c");
  fsys::remove_all(f.tmp / "c");
  fsys::create_directories(f.tmp / "c");  // unplugged: its empty mount point

  std::vector<StoreRun> runs = Run();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].outcome, BackupOutcome::kCompleted);
  EXPECT_EQ(runs[1].outcome, BackupOutcome::kCompleted);
  EXPECT_EQ(runs[2].outcome, BackupOutcome::kStoreAbsent);
  EXPECT_EQ(CombinedOutcome(runs), BackupOutcome::kCompleted);
  EXPECT_TRUE(fsys::exists(b + "/POSTE1/01032006/filelist.txt"));
  EXPECT_NE(ReadFile(b + "/POSTE1/POSTE1.ini").find("D1=" + f.source), std::string::npos);
  EXPECT_TRUE(fsys::is_empty(f.tmp / "c"));
  EXPECT_TRUE(Logged("Disque de sauvegarde C absent"));
  IniFile record(f.fs, program.file->path());
  EXPECT_EQ(StoreLastSuccess(record, idB), KeptDay("01/03/2006"));
  EXPECT_EQ(StoreLastSuccess(record, ReadStoreMarker(f.fs, f.root)->id), KeptDay("01/03/2006"));

  // The set edited on B, while A was away, is A's at the next run.
  StationSettings onB;
  FakeDialogs quiet;
  ASSERT_TRUE(LoadStationSettings(f.fs, quiet, onB, b, "POSTE1", f.ctx.rules));
  const std::string more = f.tmp / "more";
  WriteFile(more + "/m.txt", "more");
  onB.directories.push_back(more);
  ASSERT_TRUE(SaveBackupSet(quiet, onB));
  f.SetDay(2, 3, 2006);
  runs = Run();
  EXPECT_EQ(CombinedOutcome(runs), BackupOutcome::kCompleted);
  EXPECT_TRUE(Logged("celui du disque B"));
  EXPECT_EQ(f.station.backupDirectories, (std::vector<std::string>{more, f.source}));
  EXPECT_NE(ReadFile(f.root + "/POSTE1/POSTE1.ini").find("=" + more), std::string::npos);
  EXPECT_NE(ReadFile(f.root + "/POSTE1/02032006/filelist.txt").find("m.txt"), std::string::npos);
}

TEST_F(EveryStoreRunTest, AStoreInsideAFolderOfTheSetIsNeverWritten) {
  const std::string inside = f.source + "/backups";
  Add("B", inside);
  const std::vector<StoreRun> runs = Run();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].outcome, BackupOutcome::kCompleted);
  EXPECT_EQ(runs[1].outcome, BackupOutcome::kFailed);
  EXPECT_NE(runs[1].refusal.find("contient le disque de sauvegarde B"), std::string::npos);
  EXPECT_EQ(f.host.errorWindow.size(), 1u);
  EXPECT_FALSE(fsys::exists(inside + "/POSTE1"));
  EXPECT_EQ(CombinedOutcome(runs), BackupOutcome::kFailed);
}

TEST_F(EveryStoreRunTest, TheStoreWorkedOnBeingAwayNothingIsWrittenAtItsPath) {
  const std::string b = f.tmp / "b";
  Add("B", b);
  fsys::remove_all(f.root);
  fsys::create_directories(f.root);
  const std::vector<StoreRun> runs = Run();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].outcome, BackupOutcome::kStoreAbsent);
  EXPECT_EQ(runs[1].outcome, BackupOutcome::kCompleted);
  EXPECT_TRUE(fsys::is_empty(f.root));
  // The set in memory reached B, and every store away is said as one.
  EXPECT_NE(ReadFile(b + "/POSTE1/POSTE1.ini").find("D1=" + f.source), std::string::npos);
  EXPECT_EQ(CombinedOutcome({runs[0]}), BackupOutcome::kStoreAbsent);
}

}  // namespace
}  // namespace varnoket::test
