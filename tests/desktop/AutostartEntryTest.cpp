#include <gtest/gtest.h>

#include <filesystem>

#include "desktop/AutostartEntry.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

TEST(ShortcutLink, AWrittenEntryResolvesBackToItsProgramEvenWithAwkwardPaths) {
  test::TempDir tmp;
  AutostartEntry link;
  link.ShortcutFile = tmp / "autostart/varnoket.desktop";
  link.Target = tmp / "my programs/var$noket \"100%\"";
  link.Arguments = "--quiet";
  link.WorkingDir = tmp / "work dir";
  link.Description = "Quendralith Backup";
  link.WriteLink();
  const std::string text = test::ReadFile(link.ShortcutFile);
  EXPECT_EQ(text.rfind("[Desktop Entry]\nType=Application\nName=Quendralith Backup\n", 0), 0u);
  EXPECT_NE(text.find("X-GNOME-Autostart-enabled=true"), std::string::npos);

  test::FakeDialogs dialogs;
  ResolvedShortcut r;
  ASSERT_TRUE(ResolveShortcut(DefaultFileSystem(), link.ShortcutFile, r, dialogs));
  EXPECT_EQ(r.target, link.Target);
  EXPECT_EQ(r.arguments, "--quiet");
  EXPECT_EQ(r.workingDir, link.WorkingDir);
  EXPECT_TRUE(dialogs.calls().empty());

  // Written again, it replaces the old entry.
  link.Arguments.clear();
  link.WriteLink();
  ASSERT_TRUE(ResolveShortcut(DefaultFileSystem(), link.ShortcutFile, r, dialogs));
  EXPECT_EQ(r.arguments, "");
}

TEST(ShortcutLink, LinksResolveToTheirTargetAndOtherFilesAreLeftAlone) {
  test::TempDir tmp;
  std::filesystem::create_directories(tmp / "real/folder");
  std::filesystem::create_symlink("real/folder", tmp / "link");
  test::FakeDialogs dialogs;
  ResolvedShortcut r{"unchanged", "", ""};
  ASSERT_TRUE(ResolveShortcut(DefaultFileSystem(), tmp / "link", r, dialogs));
  EXPECT_EQ(r.target, tmp / "real/folder");

  test::WriteFile(tmp / "plain.txt", "not a shortcut");
  r = {"unchanged", "", ""};
  EXPECT_FALSE(ResolveShortcut(DefaultFileSystem(), tmp / "plain.txt", r, dialogs));
  EXPECT_EQ(r.target, "unchanged");
  EXPECT_TRUE(dialogs.calls().empty());
}

TEST(ShortcutLink, AnEntryThatCannotBeWrittenRaisesItsError) {
  test::TempDir tmp;
  test::WriteFile(tmp / "blocker", "");
  AutostartEntry link;
  link.ShortcutFile = tmp / "blocker/varnoket.desktop";
  link.Target = "/usr/bin/true";
  EXPECT_THROW(
      {
        try {
          link.WriteLink();
        } catch (const AutostartEntryError& e) {
          EXPECT_STREQ(e.what(), "Unable to create .lnk file");
          throw;
        }
      },
      AutostartEntryError);
}

}  // namespace
}  // namespace varnoket
