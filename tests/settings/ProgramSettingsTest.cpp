#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "settings/ConfigurationRules.h"
#include "settings/ProgramSettings.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::FaultyFileSystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// The program folder, with a mount table of its own where `nfs` is a network
// mount, so the result does not depend on the machine's mounts.
class ProgramSettingsTest : public ::testing::Test {
 protected:
  ProgramSettingsTest()
      : base_(std::filesystem::canonical(dir_.path()).string()),
        nfs_(base_ + "/nfs"),
        drives_(base_ + "/mountinfo", base_ + "/block") {
    std::filesystem::create_directories(nfs_);
    WriteFile(base_ + "/mountinfo",
              "21 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
              "40 21 0:50 / " +
                  nfs_ + " rw - nfs srv:/export rw\n");
  }

  ProgramSettings LoadWith(const std::string& text) {
    WriteFile(base_ + "/VARNOKET.INI", text);
    return LoadProgramSettings(fs_, drives_, base_, nullptr);
  }

  TempDir dir_;
  std::string base_;
  std::string nfs_;
  PosixFileSystem fs_;
  DriveInfo drives_;
};

TEST_F(ProgramSettingsTest, AMissingFileIsCreatedWithTheFiveDefaultLines) {
  std::string error;
  const ProgramSettings s = LoadProgramSettings(fs_, drives_, base_, &error);
  EXPECT_EQ(ReadFile(base_ + "/VARNOKET.INI"),
            "[PARAMS]\r\nRACINE=\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n");
  EXPECT_TRUE(error.empty());
  ASSERT_TRUE(s.IsOpen());
  EXPECT_EQ(s.backupRoot, "");
  EXPECT_EQ(s.preferredHour, 13);
  EXPECT_EQ(s.preferredMinute, 0);
  EXPECT_EQ(s.daysKept, 30);
}

TEST_F(ProgramSettingsTest, DaysKeptHasAFloorOfTwoAndNoCeiling) {
  EXPECT_EQ(LoadWith("[PARAMS]\r\nMAXSAVE=1\r\n").daysKept, 2);
  EXPECT_EQ(LoadWith("[PARAMS]\r\nMAXSAVE=0\r\n").daysKept, 2);
  EXPECT_EQ(LoadWith("[PARAMS]\r\nMAXSAVE=-5\r\n").daysKept, 2);
  EXPECT_EQ(LoadWith("[PARAMS]\r\nMAXSAVE=500\r\n").daysKept, 500);
}

TEST_F(ProgramSettingsTest, NumbersThatAreNotWholeTakeTheirDefaults) {
  const ProgramSettings s = LoadWith("[params]\r\nheure=7h\r\nMinute=4.5\r\nMAXSAVE=\r\n");
  EXPECT_EQ(s.preferredHour, 13);
  EXPECT_EQ(s.preferredMinute, 0);
  EXPECT_EQ(s.daysKept, 30);
  const ProgramSettings t = LoadWith("[PARAMS]\r\nHEURE=21\r\nMINUTE=45\r\n");
  EXPECT_EQ(t.preferredHour, 21);
  EXPECT_EQ(t.preferredMinute, 45);
}

TEST_F(ProgramSettingsTest, TheRootLosesItsTrailingSeparatorAndNetworkRootsAreDropped) {
  EXPECT_EQ(LoadWith("[PARAMS]\r\nRACINE= /data/Sauvegardes/ \r\n").backupRoot,
            "/data/Sauvegardes");
  EXPECT_EQ(LoadWith("[PARAMS]\r\nRACINE=/\r\n").backupRoot, "/");
  EXPECT_EQ(LoadWith("[PARAMS]\r\nRACINE=\\\\srv\\share\r\n").backupRoot, "");
  EXPECT_EQ(LoadWith("[PARAMS]\r\nRACINE=" + nfs_ + "/\r\n").backupRoot, "");
  EXPECT_EQ(LoadWith("[PARAMS]\r\nRACINE=" + nfs_ + "/not/made/yet\r\n").backupRoot, "");
  EXPECT_EQ(LoadWith("[PARAMS]\r\nRACINE=" + base_ + "/local\r\n").backupRoot, base_ + "/local");
}

// The person may allow a store on the network: it is then kept and can be
// chosen, and a run knows it must have the share's own lock.
TEST_F(ProgramSettingsTest, ANetworkRootIsKeptAndAcceptedOnlyWhenAllowed) {
  const ProgramSettings allowed =
      LoadWith("[PARAMS]\r\nRACINE=" + nfs_ + "/\r\nSTOCKAGE_RESEAU=1\r\n");
  EXPECT_TRUE(allowed.networkStore);
  EXPECT_EQ(allowed.backupRoot, nfs_);
  EXPECT_TRUE(StoreIsOnNetwork(drives_, allowed));
  // Only 1 allows it; a Windows share name is never a root here.
  EXPECT_EQ(LoadWith("[PARAMS]\r\nRACINE=" + nfs_ + "\r\nSTOCKAGE_RESEAU=yes\r\n").backupRoot, "");
  EXPECT_EQ(LoadWith("[PARAMS]\r\nRACINE=\\\\srv\\share\r\nSTOCKAGE_RESEAU=1\r\n").backupRoot, "");
  const ProgramSettings local =
      LoadWith("[PARAMS]\r\nRACINE=" + base_ + "\r\nSTOCKAGE_RESEAU=1\r\n");
  EXPECT_FALSE(StoreIsOnNetwork(drives_, local));

  EXPECT_EQ(CheckBackupRootChoice(fs_, drives_, nfs_).refusal, RootRefusal::OnShare);
  EXPECT_EQ(CheckBackupRootChoice(fs_, drives_, nfs_, true).refusal, RootRefusal::None);
  EXPECT_EQ(CheckBackupRootChoice(fs_, drives_, nfs_ + "/missing", true).refusal,
            RootRefusal::NotAccessible);
}

TEST_F(ProgramSettingsTest, AFileThatCannotBeCreatedLeavesNothingOpen) {
  WriteFile(base_ + "/not-a-folder", "x");
  std::string error;
  const ProgramSettings s = LoadProgramSettings(fs_, drives_, base_ + "/not-a-folder", &error);
  EXPECT_FALSE(s.IsOpen());
  EXPECT_EQ(s.backupRoot, "");
  EXPECT_NE(error.find("Not a directory"), std::string::npos) << error;
}

TEST_F(ProgramSettingsTest, AnUnreadableFileOrAFolderInItsPlaceIsSaidNeverReadAsEmpty) {
  // Read as empty, it would say that nothing is configured.
  WriteFile(base_ + "/VARNOKET.INI", "[PARAMS]\r\nRACINE=/data\r\nMAXSAVE=9\r\n");
  FaultyFileSystem faulty;
  faulty.failReads = EACCES;
  std::string error;
  ProgramSettings s = LoadProgramSettings(faulty, drives_, base_, &error);
  EXPECT_FALSE(s.IsOpen());
  EXPECT_EQ(s.backupRoot, "");
  EXPECT_EQ(error, "Le fichier de paramètres (" + base_ +
                       "/VARNOKET.INI) ne peut pas être lu : " + std::strerror(EACCES) + ".");
  std::filesystem::remove(base_ + "/VARNOKET.INI");
  std::filesystem::create_directories(base_ + "/VARNOKET.INI");
  s = LoadProgramSettings(faulty, drives_, base_, &error);
  EXPECT_FALSE(s.IsOpen());
  EXPECT_EQ(
      error.rfind("Le fichier de paramètres (" + base_ + "/VARNOKET.INI) n'est pas un fichier", 0),
      0u);
}

TEST_F(ProgramSettingsTest, AFileThatIsNoTextIsKeptAsideAndTheDefaultsApply) {
  const std::string garbage("[PARAMS]\r\nRACINE=/data\r\n\0\0\0\0", 28);
  const ProgramSettings s = LoadWith(garbage);
  ASSERT_TRUE(s.IsOpen());
  EXPECT_EQ(s.backupRoot, "");
  EXPECT_EQ(s.daysKept, 30);
  const std::string kept = s.file->keptAsideAs();
  ASSERT_EQ(kept.rfind(base_ + "/VARNOKET.INI.unreadable-", 0), 0u) << kept;
  EXPECT_EQ(ReadFile(kept), garbage);
  EXPECT_EQ(s.notice, "Le fichier de paramètres (" + base_ +
                          "/VARNOKET.INI) était illisible : il a été mis de côté sous le nom (" +
                          kept + ") et les valeurs par défaut sont utilisées.");
  // A readable file says nothing.
  EXPECT_EQ(LoadWith("[PARAMS]\r\nRACINE=/data\r\n").notice, "");
}

}  // namespace
}  // namespace varnoket
