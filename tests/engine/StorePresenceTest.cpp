// A run writes only where its store really is: a missing root, an empty
// folder where the disk should be, a station settings file an older version
// left in that folder, another store's disk, all leave the root exactly as
// they found it. A store made before markers is marked by its first run, and
// the id a run finds is recorded for the next.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>

#include "engine/BackupRun.h"
#include "engine/StoreCheck.h"
#include "platform/IniFile.h"
#include "settings/SettingsKeys.h"
#include "settings/StoreMarker.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// Every file and folder below `folder`, files with their bytes.
std::map<std::string, std::string> Tree(const std::string& folder) {
  std::map<std::string, std::string> tree;
  if (!fsys::exists(folder)) return tree;
  for (const auto& e : fsys::recursive_directory_iterator(folder)) {
    tree[e.path().string()] = e.is_regular_file() ? ReadFile(e.path().string()) : "<dir>";
  }
  return tree;
}

class StorePresenceTest : public ::testing::Test {
 protected:
  StorePresenceTest() {
    f.ctx.programSettingsPath = f.tmp / "prog/VARNOKET.INI";
    WriteFile(f.ctx.programSettingsPath, "[PARAMS]\r\nRACINE=" + f.root + "\r\n");
  }

  std::string RecordedId() const {
    return ReadKey(IniFile(DefaultFileSystem(), f.ctx.programSettingsPath), kStoreIdKey);
  }
  std::string MarkerId() const {
    const auto marker = ReadStoreMarker(DefaultFileSystem(), f.root);
    return marker ? marker->id : "";
  }
  // The root emptied, as the folder an unplugged disk leaves behind.
  void Unplug() {
    fsys::remove_all(f.root);
    fsys::create_directories(f.root);
  }
  void ExpectAbsent(const std::string& detail) {
    const auto before = Tree(f.root);
    const std::string program = ReadFile(f.ctx.programSettingsPath);
    EXPECT_EQ(f.Backup(), BackupOutcome::kStoreAbsent);
    EXPECT_EQ(f.ctx.refusal, "Disque de sauvegarde absent (" + f.root + ")" + detail);
    EXPECT_EQ(f.host.logged, std::vector<std::string>{f.ctx.refusal});
    EXPECT_EQ(f.host.hints, std::vector<std::string>{f.ctx.refusal});
    EXPECT_TRUE(f.host.errorWindow.empty());
    EXPECT_EQ(f.host.disabled, 0);
    EXPECT_EQ(Tree(f.root), before);
    EXPECT_EQ(ReadFile(f.ctx.programSettingsPath), program);
  }

  StoreFixture f;
};

TEST_F(StorePresenceTest, AMarkedStoreIsRecordedByItsFirstRunAndKeptByTheNext) {
  f.Write("a.txt", "alpha");
  const std::string id = MarkerId();
  ASSERT_FALSE(id.empty());
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(RecordedId(), id);
  f.SetDay(2, 3, 2006);
  EXPECT_EQ(f.Backup(), BackupOutcome::kNoChange);
  EXPECT_EQ(MarkerId(), id);
}

TEST_F(StorePresenceTest, NothingIsWrittenWhereTheDiskIsNotThere) {
  f.Write("a.txt", "alpha");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto lastBackup = f.station.lastBackupDate;
  f.SetDay(2, 3, 2006);

  // An empty mount point.
  Unplug();
  ExpectAbsent("");
  EXPECT_TRUE(Tree(f.root).empty());

  // The station settings file an older version made in that empty folder.
  WriteFile(f.root + "/POSTE1/POSTE1.ini", "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n");
  ExpectAbsent("");

  // No mount point at all.
  fsys::remove_all(f.root);
  ExpectAbsent("");
  EXPECT_FALSE(fsys::exists(f.root));
  EXPECT_EQ(f.station.lastBackupDate, lastBackup);
}

TEST_F(StorePresenceTest, AnotherStoresDiskIsNeverWritten) {
  f.Write("a.txt", "alpha");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  f.SetDay(2, 3, 2006);
  f.Write("a.txt", "beta");
  WriteFile(f.root + "/VARNOKET.STORE",
            StoreMarkerText({"00000000000000000000000000000001", "2020-01-01 00:00:00"}));
  ExpectAbsent(" : le disque présent porte une autre sauvegarde.");
  EXPECT_EQ(f.Days(), std::vector<std::string>{"01032006"});
}

TEST_F(StorePresenceTest, AStoreMadeBeforeMarkersIsMarkedByItsFirstRun) {
  f.Write("a.txt", "alpha");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const std::string oldId = RecordedId();
  fsys::remove(f.root + "/VARNOKET.STORE");
  f.SetDay(2, 3, 2006);
  f.Write("a.txt", "beta");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const std::string id = MarkerId();
  ASSERT_FALSE(id.empty());
  EXPECT_NE(id, oldId);
  EXPECT_EQ(RecordedId(), id);
  EXPECT_NE(std::find(f.host.logged.begin(), f.host.logged.end(),
                      "Le dossier de sauvegarde (" + f.root +
                          ") porte désormais son marqueur (VARNOKET.STORE)."),
            f.host.logged.end());
  EXPECT_EQ(f.Days(), (std::vector<std::string>{"01032006", "02032006"}));
}

TEST_F(StorePresenceTest, AMarkerThatCannotBeReadStopsTheRunBeforeItWrites) {
  f.Write("a.txt", "alpha");
  fsys::remove(f.root + "/VARNOKET.STORE");
  fsys::create_directory(f.root + "/VARNOKET.STORE");
  const auto before = Tree(f.root);
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  EXPECT_EQ(f.host.errorWindow.size(), 1u);
  EXPECT_NE(f.ctx.refusal.find("est illisible"), std::string::npos);
  EXPECT_EQ(Tree(f.root), before);
}

TEST(StoreMarkingFaultTest, AMarkerThatCannotBeWrittenFailsTheRunAndTheNextRunMarksIt) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  f.Write("a.txt", "alpha");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  fsys::remove(f.root + "/VARNOKET.STORE");
  f.SetDay(2, 3, 2006);
  f.Write("a.txt", "beta");
  disk.failWrites = ENOSPC;
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  EXPECT_EQ(f.ctx.refusal, "Impossible de créer le fichier (" + f.root +
                               "/VARNOKET.STORE) ! Vérifiez l'espace disque disponible sur le "
                               "disque de sauvegarde !");
  for (const auto& e : fsys::directory_iterator(f.root)) {
    EXPECT_EQ(e.path().filename(), "POSTE1") << "left at the root";
  }
  EXPECT_EQ(f.Days(), std::vector<std::string>{"01032006"});
  disk.failWrites = 0;
  EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_TRUE(ReadStoreMarker(disk, f.root));
}

}  // namespace
}  // namespace varnoket::test
