#include <gtest/gtest.h>

#include <filesystem>

#include "desktop/PickedFolder.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

namespace fs = std::filesystem;

TEST(PickedFolder, LinkIsReplacedByItsTarget) {
  test::TempDir dir;
  test::FakeDialogs dialogs;
  fs::create_directories(dir / "data/docs");
  fs::create_directories(dir / "links");
  fs::create_directory_symlink(dir / "data/docs", dir / "links/absolute");
  fs::create_directory_symlink("../data/docs", dir / "links/relative");

  EXPECT_EQ(ResolvePickedFolder(DefaultFileSystem(), dir / "links/absolute", dialogs),
            dir / "data/docs");
  EXPECT_EQ(ResolvePickedFolder(DefaultFileSystem(), dir / "links/relative", dialogs),
            dir / "data/docs");
  EXPECT_TRUE(dialogs.calls().empty());
}

TEST(PickedFolder, FolderAndCancelAreKept) {
  test::TempDir dir;
  test::FakeDialogs dialogs;
  fs::create_directories(dir / "plain");
  // A folder whose name looks like a desktop entry is still just a folder.
  fs::create_directories(dir / "apps.desktop");

  EXPECT_EQ(ResolvePickedFolder(DefaultFileSystem(), dir / "plain", dialogs), dir / "plain");
  EXPECT_EQ(ResolvePickedFolder(DefaultFileSystem(), dir / "apps.desktop", dialogs),
            dir / "apps.desktop");
  EXPECT_EQ(ResolvePickedFolder(DefaultFileSystem(), "", dialogs), "");
  EXPECT_EQ(ResolvePickedFolder(DefaultFileSystem(), dir / "missing", dialogs), dir / "missing");
  EXPECT_TRUE(dialogs.calls().empty());
}

TEST(PickedFolder, DanglingLinkGivesItsTarget) {
  test::TempDir dir;
  test::FakeDialogs dialogs;
  fs::create_directory_symlink(dir / "gone", dir / "link");
  // The later "not accessible" check reports the target by its own name.
  EXPECT_EQ(ResolvePickedFolder(DefaultFileSystem(), dir / "link", dialogs), dir / "gone");
}

}  // namespace
}  // namespace varnoket
