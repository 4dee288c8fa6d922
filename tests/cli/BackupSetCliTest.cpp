// `varnoket-cli add/remove/exclude/include`: the station's backup set edited
// from a shell with the main window's rules; a refusal changes nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "engine/StoreCheck.h"
#include "platform/DriveInfo.h"
#include "settings/ExclusionFilter.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

class BackupSetCliTest : public ::testing::Test {
 protected:
  BackupSetCliTest() : prog("--program-folder " + Quoted(tmp / "prog") + " --station PC ") {
    fsys::create_directories(tmp / "disk/store");
    fsys::create_directories(tmp / "prog");
  }
  void SetUp() override {
    // The window accepts folders of fixed disks only; a temporary folder on
    // a RAM disk cannot show the rest.
    DriveInfo drives;
    drives.RefreshDrive(tmp.path());
    if (drives.GetDriveRec(tmp.path()).DriveType != DRIVE_FIXED) {
      GTEST_SKIP() << tmp.path() << " is not on a fixed disk";
    }
    ASSERT_EQ(RunTool(prog + "config store " + Quoted(tmp / "disk/store")).code, 0);
  }
  std::string Station() const { return ReadFile(tmp / "disk/store/PC/PC.ini"); }

  TempDir tmp;
  std::string prog;
};

TEST_F(BackupSetCliTest, FoldersJoinAndLeaveWithTheWindowsChecks) {
  fsys::create_directories(tmp / "disk/docs");
  fsys::create_directories(tmp / "disk/photos");
  const CliOutput added = RunTool(prog + "add docs", tmp / "disk");
  ASSERT_EQ(added.code, 0) << added.err;
  ASSERT_EQ(RunTool(prog + "add " + Quoted(tmp / "disk/photos/")).code, 0);
  EXPECT_NE(Station().find("[DIRECTORIES]\r\nD1=" + (tmp / "disk/docs") +
                           "\r\nD2=" + (tmp / "disk/photos") + "\r\n"),
            std::string::npos)
      << Station();

  const std::string before = Station();
  const std::string missing = tmp / "disk/gone";
  const std::pair<std::string, std::string> refusals[] = {
      {tmp / "disk/docs", "Ce répertoire est déjà présent dans la liste !"},
      {missing, "Le répertoire (" + missing + ") n'est pas accessible !"},
      {tmp / "disk/store/PC", "Vous ne pouvez pas sauvegarder des fichiers inclus dans (" +
                                  (tmp / "disk/store") +
                                  ") \ncar il s'agit du répertoire qui contiendra les "
                                  "sauvegardes !"},
      {tmp / "disk", "Le dossier (" + (tmp / "disk") +
                         ") est un dossier parent du répertoire qui contiendra les sauvegardes ("},
  };
  for (const auto& [folder, text] : refusals) {
    const CliOutput r = RunTool(prog + "add " + Quoted(folder));
    EXPECT_EQ(r.code, 1) << folder;
    EXPECT_EQ(r.err.rfind(text, 0), 0u) << r.err;
    EXPECT_EQ(Station(), before) << folder;
  }

  const CliOutput removed = RunTool(prog + "remove " + Quoted(tmp / "disk/docs/"));
  ASSERT_EQ(removed.code, 0) << removed.err;
  EXPECT_EQ(removed.err, "");  // the window's "are you sure" is the command itself
  EXPECT_EQ(removed.out,
            "Dossiers à sauvegarder :\n  " + (tmp / "disk/photos") +
                "\nFiltres d'exclusion :\n  *.mp3\n  *.mpeg\n  *.mpg\n"
                "  PageFile.sys\nDossiers cachés : inclus (sauf les caches du bureau)\n");
  const std::string after = Station();
  EXPECT_EQ(after.find("docs"), std::string::npos);
  const CliOutput again = RunTool(prog + "remove " + Quoted(tmp / "disk/docs"));
  EXPECT_EQ(again.code, 1);
  EXPECT_EQ(again.err, "Ce répertoire (" + (tmp / "disk/docs") + ") n'est pas dans la liste !\n");
  EXPECT_EQ(Station(), after);
  EXPECT_EQ(RunTool(prog + "add").code, 2);
  EXPECT_EQ(RunTool(prog + "remove a b").code, 2);
}

TEST_F(BackupSetCliTest, NothingIsEditedWithoutTheStore) {
  fsys::create_directories(tmp / "disk/docs");
  const char* commands[] = {"add docs", "exclude '*.tmp'", "include '*.mp3'", "remove docs"};
  // The store's disk unplugged: its mount point is an empty folder again.
  fsys::rename(tmp / "disk/store", tmp / "unplugged");
  fsys::create_directories(tmp / "disk/store");
  for (const std::string command : commands) {
    const CliOutput r = RunTool(prog + command, tmp / "disk");
    EXPECT_EQ(r.code, 1) << command;
    EXPECT_EQ(r.err, std::string(kStoreAbsentText) + " (" + (tmp / "disk/store") + ")\n");
  }
  EXPECT_TRUE(fsys::is_empty(tmp / "disk/store"));

  fsys::remove(tmp / "disk/store");
  fsys::rename(tmp / "unplugged", tmp / "disk/store");
  const std::string before = Station();
  WriteFile(tmp / "prog/VARNOKET.INI", "[PARAMS]\r\nRACINE=\r\n");
  for (const std::string command : commands) {
    const CliOutput r = RunTool(prog + command, tmp / "disk");
    EXPECT_EQ(r.code, 1) << command;
    EXPECT_EQ(r.err, "Vous devez d'abord configurer le répertoire des sauvegardes !\n");
  }
  EXPECT_EQ(Station(), before);
}

TEST_F(BackupSetCliTest, FiltersDecideWhatTheNextBackupTakes) {
  WriteFile(tmp / "disk/src/keep.txt", "kept");
  WriteFile(tmp / "disk/src/trace.LOG", "noise");
  ASSERT_EQ(RunTool(prog + "add " + Quoted(tmp / "disk/src")).code, 0);
  // Stored in lower case, whatever was typed; matched in either case.
  ASSERT_EQ(RunTool(prog + "exclude '*.Log'").code, 0);
  EXPECT_NE(Station().find("*.log"), std::string::npos);

  const std::string before = Station();
  const std::pair<std::string, std::string> refusals[] = {
      {"'*.LOG'", kFilterDuplicate},
      {"'*'", kFilterAllFiles},
      {"'*a*'", kFilterManyStars},
      {"''", kFilterEmpty},
  };
  for (const auto& [filter, text] : refusals) {
    const CliOutput r = RunTool(prog + "exclude " + filter);
    EXPECT_EQ(r.code, 1) << filter;
    EXPECT_EQ(r.err, text + "\n") << filter;
    EXPECT_EQ(Station(), before) << filter;
  }

  const auto stored = [&](const std::string& name) {
    return RunTool(prog + "find " + Quoted(name)).out.find(tmp / ("disk/src/" + name)) !=
           std::string::npos;
  };
  ASSERT_EQ(RunTool(prog + "backup").code, 0);
  EXPECT_TRUE(stored("keep.txt"));
  EXPECT_FALSE(stored("trace.LOG"));

  const CliOutput notListed = RunTool(prog + "include '*.txt'");
  EXPECT_EQ(notListed.code, 1);
  EXPECT_EQ(notListed.err, "Ce filtre (*.txt) n'est pas dans la liste !\n");
  ASSERT_EQ(RunTool(prog + "include '*.LOG'").code, 0);
  EXPECT_EQ(Station().find("*.log"), std::string::npos);
  ASSERT_EQ(RunTool(prog + "backup").code, 0);
  EXPECT_TRUE(stored("trace.LOG"));
}

}  // namespace
}  // namespace varnoket::test
