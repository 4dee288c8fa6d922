#include <gtest/gtest.h>

#include <filesystem>

#include "settings/SettingsFolder.h"
#include "support/BindMount.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::TempDir;

TEST(SettingsFolderTest, TheUserFolderFollowsXdgAndFallsBackToHome) {
  EXPECT_EQ(UserSettingsFolder("/x/conf/", "/home/a"), "/x/conf/varnoket");
  EXPECT_EQ(UserSettingsFolder("", "/home/a"), "/home/a/.config/varnoket");
  // A relative XDG_CONFIG_HOME is invalid and ignored.
  EXPECT_EQ(UserSettingsFolder("conf", "/home/a/"), "/home/a/.config/varnoket");
  EXPECT_TRUE(IsSystemProgramFolder("/usr/bin"));
  EXPECT_TRUE(IsSystemProgramFolder("/usr/local/bin/"));
  EXPECT_FALSE(IsSystemProgramFolder("/home/a/varnoket"));
  EXPECT_FALSE(IsSystemProgramFolder("/usr/bin/varnoket"));
}

TEST(SettingsFolderTest, AProgramInAFolderOfItsOwnKeepsItsSettingsBesideItself) {
  TempDir dir;
  PosixFileSystem fs;
  std::filesystem::create_directories(dir / "prog");
  const SettingsPlace place = FindSettingsPlace(fs, dir / "prog", dir / "config", "/nowhere");
  EXPECT_EQ(place.folder, dir / "prog");
  EXPECT_FALSE(place.installed);
  EXPECT_TRUE(place.problem.empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "config"));
  EXPECT_TRUE(std::filesystem::is_empty(dir / "prog"));
}

TEST(SettingsFolderTest, ASystemFolderIsInstalledEvenWhenWritable) {
  TempDir dir;
  PosixFileSystem fs;
  const SettingsPlace place = FindSettingsPlace(fs, "/usr/bin", dir / "config", "/nowhere");
  EXPECT_TRUE(place.installed);
  EXPECT_EQ(place.folder, dir / "config/varnoket");
  EXPECT_TRUE(place.problem.empty());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "config/varnoket"));
}

TEST(SettingsFolderTest, AProgramFolderNobodyCanWriteUsesTheUserFolder) {
  TempDir dir;
  PosixFileSystem fs;
  std::filesystem::create_directories(dir / "prog");
  std::filesystem::create_directories(dir / "ro");
  test::BindMount readOnly(dir / "prog", dir / "ro", true);
  if (!readOnly.Mounted()) GTEST_SKIP() << "a read-only bind mount needs privileges";
  const SettingsPlace place = FindSettingsPlace(fs, dir / "ro", "", dir / "home");
  EXPECT_TRUE(place.installed);
  EXPECT_EQ(place.folder, dir / "home/.config/varnoket");
  EXPECT_TRUE(place.problem.empty());
}

TEST(SettingsFolderTest, AUserFolderThatCannotBeMadeIsNamedInTheProblem) {
  TempDir dir;
  PosixFileSystem fs;
  test::WriteFile(dir / "file", "not a folder");
  const SettingsPlace place = FindSettingsPlace(fs, "/usr/bin", dir / "file", "/nowhere");
  EXPECT_TRUE(place.installed);
  EXPECT_NE(place.problem.find(dir / "file/varnoket"), std::string::npos);
  EXPECT_NE(place.problem.find("Impossible de créer le dossier des réglages"), std::string::npos);
}

}  // namespace
}  // namespace varnoket
