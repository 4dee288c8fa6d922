#include <gtest/gtest.h>

#include <filesystem>

#include "app/MainWindowRules.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

TEST(MainWindowRules, TheVersionIsTheWordAfterVersionInTheTitle) {
  EXPECT_EQ(VersionFromTitle("Varnoket version 1.13       Sauvegarde quotidienne"), "1.13");
  EXPECT_EQ(VersionFromTitle("Varnoket VERSION   2.0 beta"), "2.0");
  // Trimmed first: nothing after the number means no blank to cut at.
  EXPECT_EQ(VersionFromTitle("Varnoket version 1.13   "), "");
  EXPECT_EQ(VersionFromTitle("Varnoket"), "");
}

TEST(MainWindowRules, OnlyTheInstalledNameRegistersAtLogon) {
  EXPECT_TRUE(IsInstalledProgramName("/opt/varnoket/varnoket"));
  EXPECT_TRUE(IsInstalledProgramName("/opt/x/VARNOKET"));
  EXPECT_FALSE(IsInstalledProgramName("/opt/varnoket/varnoket-cli"));
  EXPECT_FALSE(IsInstalledProgramName("/opt/varnoket/upload/_FILE1.exe"));
}

TEST(MainWindowRules, TheSystemFolderIsTakenOnlyWhenItExistsElseTheUsersIsMade) {
  test::TempDir dir;
  AutostartFolders folders{dir / "etc/xdg/autostart", dir / "home/.config/autostart"};
  EXPECT_EQ(ChooseStartupFolder(DefaultFileSystem(), folders), folders.user);
  EXPECT_TRUE(std::filesystem::is_directory(folders.user));
  std::filesystem::create_directories(folders.system);
  EXPECT_EQ(ChooseStartupFolder(DefaultFileSystem(), folders), folders.system);
  // A user folder that cannot be made leaves no choice.
  test::WriteFile(dir / "etc/file", "");
  EXPECT_EQ(ChooseStartupFolder(DefaultFileSystem(), {"", dir / "etc/file/autostart"}), "");
}

}  // namespace
}  // namespace varnoket
