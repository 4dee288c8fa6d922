#include <gtest/gtest.h>

#include <filesystem>

#include "settings/StationSettings.h"
#include "settings/StoreMarker.h"
#include "support/FakeDialogs.h"
#include "support/FaultyFileSystem.h"
#include "support/KeptDay.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::DialogKind;
using test::FakeDialogs;
using test::FaultyFileSystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

using List = std::vector<std::string>;
const List kDefaultExclusions = {"*.mp3", "*.mpeg", "*.mpg", "PageFile.sys"};

class StationSettingsTest : public ::testing::Test {
 protected:
  StationSettingsTest() { MarkStore(DefaultFileSystem(), dir_.path()); }

  std::string IniPath() const { return dir_ / "PC1/PC1.ini"; }

  bool Load() { return LoadStationSettings(fs_, dialogs_, settings_, dir_.path(), "PC1", rules_); }

  TempDir dir_;
  FaultyFileSystem fs_;
  FakeDialogs dialogs_;
  PathRules rules_;
  StationSettings settings_;
};

TEST(StationSettingsPathTest, StationFolderThenStationFile) {
  EXPECT_EQ(StationSettingsPath(PathRules(PathStyle::kPosix), "/srv/sauv", "PC1"),
            "/srv/sauv/PC1/PC1.ini");
  EXPECT_EQ(StationSettingsPath(PathRules(PathStyle::kWindows), "E:\\Sauv", "PC1"),
            "E:\\Sauv\\PC1\\PC1.ini");
}

TEST_F(StationSettingsTest, AMissingFileIsCreatedWithTheNoBackupDate) {
  ASSERT_TRUE(Load());
  EXPECT_EQ(ReadFile(IniPath()), "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\nDOSSIERS_CACHES=1\r\n");
  EXPECT_EQ(settings_.path, IniPath());
  ASSERT_NE(settings_.file, nullptr);
  EXPECT_EQ(settings_.lastBackupDate, KeptDay("31/12/2002"));
  EXPECT_EQ(settings_.exclusions, kDefaultExclusions);
  EXPECT_TRUE(settings_.directories.empty());
  EXPECT_TRUE(dialogs_.calls().empty());
}

TEST_F(StationSettingsTest, PrefixKeysCountAndTheLastMatchingLineWins) {
  WriteFile(IniPath(),
            "[PARAMS]\r\n"
            "LASTBACKUP=01/01/2003\r\n"
            "lastbackupOld = 5/3/2004 \r\n"
            "LASTBACK=09/09/2009\r\n"
            "EXCLUSIONS=*.tmp\r\n"
            "ExclusionsMore= *.bak,\"my file.doc\" \r\n"
            "RESTORE_DIR=/r1\r\n"
            "RESTORE_DIR2=/r2\r\n"
            "RESTORE_VIA_FTP=1\r\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(settings_.exclusions, (List{"*.bak", "my file.doc"}));
  EXPECT_EQ(settings_.restoreOptions, (std::vector<std::pair<std::string, std::string>>{
                                          {"RESTORE_DIR", "/r2"}, {"RESTORE_VIA_FTP", "1"}}));
  EXPECT_EQ(settings_.lastBackupDate, KeptDay("05/03/2004"));
}

TEST_F(StationSettingsTest, DirectoriesLoadSortedWhateverTheirKeysAndSaveAsD1ToDn) {
  WriteFile(IniPath(),
            "[PARAMS]\r\n"
            "LASTBACKUP=2004-03-05\r\n"
            "FOREIGN=kept\r\n"
            "EXCLUSIONS=\r\n"
            "[DIRECTORIES]\r\n"
            "D7= /srv/zeta \r\n"
            "A=/home/Bob\r\n"
            "x=/home/alice\r\n");
  ASSERT_TRUE(Load());
  EXPECT_EQ(settings_.directories, (List{"/home/alice", "/home/Bob", "/srv/zeta"}));
  EXPECT_EQ(settings_.backupDirectories, settings_.directories);
  EXPECT_TRUE(settings_.exclusions.empty());
  EXPECT_EQ(settings_.lastBackupDate, KeptDay("31/12/2002"));

  settings_.exclusions = {"*.tmp", "a b"};
  ASSERT_TRUE(SaveBackupSet(dialogs_, settings_));
  EXPECT_EQ(ReadFile(IniPath()),
            "[PARAMS]\r\n"
            "LASTBACKUP=2004-03-05\r\n"
            "FOREIGN=kept\r\n"
            "EXCLUSIONS=*.tmp,\"a b\"\r\n"
            "[DIRECTORIES]\r\n"
            "D1=/home/alice\r\n"
            "D2=/home/Bob\r\n"
            "D3=/srv/zeta\r\n");

  // Removing the last directory removes the section; a reload finds none,
  // and shows the exclusions in list-box order.
  settings_.directories.clear();
  settings_.exclusions = {"b.x", "A.y"};
  ASSERT_TRUE(SaveBackupSet(dialogs_, settings_));
  EXPECT_TRUE(settings_.backupDirectories.empty());
  EXPECT_FALSE(settings_.file->HasSection("DIRECTORIES"));
  StationSettings reloaded;
  ASSERT_TRUE(LoadStationSettings(fs_, dialogs_, reloaded, dir_.path(), "PC1", rules_));
  EXPECT_TRUE(reloaded.directories.empty());
  EXPECT_EQ(reloaded.exclusions, (List{"A.y", "b.x"}));
  EXPECT_TRUE(dialogs_.calls().empty());
}

TEST_F(StationSettingsTest, AFileThatCannotBeCreatedShowsTheErrorBox) {
  // A marked store where the station's folder is taken by a plain file.
  const std::string root = dir_ / "root";
  std::filesystem::create_directories(root);
  ASSERT_TRUE(MarkStore(DefaultFileSystem(), root));
  WriteFile(root + "/PC1", "a file, not a folder");
  const std::string path = root + "/PC1/PC1.ini";
  EXPECT_FALSE(EnsureStationSettings(fs_, dialogs_, settings_, path, root));
  EXPECT_EQ(settings_.file, nullptr);
  ASSERT_EQ(dialogs_.Count(DialogKind::Error), 1u);
  EXPECT_EQ(dialogs_.Texts(DialogKind::Error)[0],
            "Le fichier ini (" + path +
                ") n'a pas pu être créé !\r\nVérifiez vos droits d'accès au répertoire (" + root +
                ")");

  // Loading stops there, with the lists as they were.
  dialogs_.Clear();
  settings_.directories = {"/keep"};
  EXPECT_FALSE(LoadStationSettings(fs_, dialogs_, settings_, root, "PC1", rules_));
  EXPECT_EQ(settings_.directories, List{"/keep"});
  EXPECT_EQ(dialogs_.Count(DialogKind::Error), 1u);

  // A write that fails once the folder exists ends the same way.
  std::filesystem::create_directories(dir_ / "ro");
  ASSERT_TRUE(MarkStore(DefaultFileSystem(), dir_ / "ro"));
  fs_.failWrites = EROFS;
  EXPECT_FALSE(
      EnsureStationSettings(fs_, dialogs_, settings_, dir_ / "ro/PC1/PC1.ini", dir_ / "ro"));
  EXPECT_EQ(settings_.file, nullptr);
  EXPECT_EQ(dialogs_.Count(DialogKind::Error), 2u);
}

TEST_F(StationSettingsTest, TheSizeLimitIsAWholeNumberOfMegabytesAndZeroWhenItIsNot) {
  ASSERT_TRUE(Load());
  EXPECT_EQ(settings_.maxFileMegabytes, 0);
  for (const auto& [text, limit] :
       std::vector<std::pair<std::string, int>>{{"MAXFILESIZE=100", 100},
                                                {"maxfilesize = 7 ", 7},
                                                {"MAXFILESIZE=-5", 0},
                                                {"MAXFILESIZE=ten", 0},
                                                {"MAXFILESIZE=", 0}}) {
    WriteFile(IniPath(), "[PARAMS]\r\nMAXFILESIZE=3\r\n" + text + "\r\n");
    settings_.maxFileMegabytes = 42;
    ASSERT_TRUE(Load());
    EXPECT_EQ(settings_.maxFileMegabytes, limit) << text;
  }
}

TEST_F(StationSettingsTest, AFailedSaveShowsItsMessageAndKeepsEverything) {
  WriteFile(IniPath(), "[PARAMS]\r\nLASTBACKUP=01/01/2004\r\n[DIRECTORIES]\r\nD1=/home\r\n");
  ASSERT_TRUE(Load());
  const std::string before = ReadFile(IniPath());
  settings_.directories.push_back("/srv");
  fs_.failWrites = EACCES;
  EXPECT_FALSE(SaveBackupSet(dialogs_, settings_));
  EXPECT_EQ(dialogs_.Texts(DialogKind::Error),
            List{"Une erreur s'est produite lors de la mise à jour des paramètres !\r\n"
                 "Veuillez contacter votre administrateur système !"});
  EXPECT_EQ(ReadFile(IniPath()), before);
  EXPECT_EQ(settings_.directories, (List{"/home", "/srv"}));
  EXPECT_EQ(settings_.backupDirectories, List{"/home"});
  EXPECT_THROW(WriteLastBackup(settings_, *KeptDay("06/03/2004")), IniError);
  EXPECT_EQ(settings_.lastBackupDate, KeptDay("01/01/2004"));
}

TEST_F(StationSettingsTest, AnUnreadableFileBehavesAsAnEmptyOne) {
  WriteFile(IniPath(),
            "[PARAMS]\r\nLASTBACKUP=01/01/2004\r\nEXCLUSIONS=*.x\r\n"
            "[DIRECTORIES]\r\nD1=/home\r\n");
  fs_.failReads = EACCES;
  ASSERT_TRUE(Load());
  EXPECT_TRUE(settings_.directories.empty());
  EXPECT_EQ(settings_.exclusions, kDefaultExclusions);
  EXPECT_EQ(settings_.lastBackupDate, KeptDay("31/12/2002"));
}

TEST_F(StationSettingsTest, TheLastBackupDateIsWrittenAtOnce) {
  StationSettings closed;
  EXPECT_THROW(WriteLastBackup(closed, *KeptDay("06/03/2004")), IniError);
  EXPECT_TRUE(SaveBackupSet(dialogs_, closed));  // nothing open, nothing to save

  ASSERT_TRUE(Load());
  WriteLastBackup(settings_, *KeptDay("06/03/2004"));
  EXPECT_EQ(settings_.lastBackupDate, KeptDay("06/03/2004"));
  StationSettings reloaded;
  ASSERT_TRUE(LoadStationSettings(fs_, dialogs_, reloaded, dir_.path(), "PC1", rules_));
  EXPECT_EQ(reloaded.lastBackupDate, KeptDay("06/03/2004"));
}

TEST(FindRootAncestorTest, OnlyTheRootOrAFolderThatReallyHoldsItCounts) {
  TempDir dir;
  PosixFileSystem fs;
  const std::string data = std::filesystem::canonical(dir.path()).string() + "/data";
  const std::string root = data + "/Sauvegardes";
  for (const char* d : {"/Sauvegardes/PC1", "/Sauve", "/Sauvegardes-old"}) {
    std::filesystem::create_directories(data + d);
  }
  std::filesystem::create_directory_symlink(data, dir / "to-data");
  // Text prefixes of the root and folders inside it stay.
  EXPECT_EQ(FindRootAncestor(fs, {data + "/Sauve", data + "/Sauvegardes-old", "/da"}, root), -1);
  EXPECT_EQ(FindRootAncestor(fs, {root + "/PC1", data + "/Sauv"}, root), -1);
  EXPECT_EQ(FindRootAncestor(fs, {}, root), -1);
  // The root itself, however it is written, and its parents.
  EXPECT_EQ(FindRootAncestor(fs, {data + "/Sauve", root + "/"}, root), 1);
  EXPECT_EQ(FindRootAncestor(fs, {data + "/Sauvegardes-old", data}, root), 1);
  EXPECT_EQ(FindRootAncestor(fs, {data + "/./Sauvegardes/PC1/.."}, root), 0);
  EXPECT_EQ(FindRootAncestor(fs, {"/"}, root), 0);
  // Through a link to a parent, and with a root reached through a link.
  EXPECT_EQ(FindRootAncestor(fs, {data + "/Sauve", dir / "to-data"}, root), 1);
  EXPECT_EQ(FindRootAncestor(fs, {data}, dir / "to-data/Sauvegardes"), 0);
  EXPECT_EQ(FindRootAncestor(fs, {data + "/Sauve"}, dir / "to-data/Sauvegardes"), -1);
}

TEST_F(StationSettingsTest, AStationFileThatIsNoTextIsKeptAsideWithAWarning) {
  const std::string garbage("[DIRECTORIES]\r\nD1=/home\r\n\0\0", 27);
  WriteFile(IniPath(), garbage);
  ASSERT_TRUE(Load());
  EXPECT_TRUE(settings_.directories.empty());
  EXPECT_EQ(settings_.lastBackupDate, kNoBackupDay);
  const std::string kept = settings_.file->keptAsideAs();
  ASSERT_FALSE(kept.empty());
  EXPECT_EQ(ReadFile(kept), garbage);
  EXPECT_EQ(dialogs_.Texts(DialogKind::Warning),
            List{"Le fichier de paramètres (" + IniPath() +
                 ") était illisible : il a été mis de côté sous le nom (" + kept +
                 ") et les valeurs par défaut sont utilisées."});
  // The next save makes a new file; the copy stays as it was.
  settings_.directories = {"/srv"};
  ASSERT_TRUE(SaveBackupSet(dialogs_, settings_));
  EXPECT_EQ(ReadFile(IniPath()), "[DIRECTORIES]\r\nD1=/srv\r\n[PARAMS]\r\nEXCLUSIONS=" +
                                     std::string("*.mp3,*.mpeg,*.mpg,PageFile.sys\r\n"));
  EXPECT_EQ(ReadFile(kept), garbage);
}

TEST(SortAsDisplayedTest, IgnoresCaseAndKeepsTiesInOrder) {
  List items = {"b", "B", "a", "C", "A"};
  SortAsDisplayed(items);
  EXPECT_EQ(items, (List{"a", "A", "b", "B", "C"}));
}

}  // namespace
}  // namespace varnoket
