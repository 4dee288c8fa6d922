#include <gtest/gtest.h>

#include <filesystem>

#include "platform/PathContainment.h"
#include "support/BindMount.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::BindMount;
using test::TempDir;
namespace fsys = std::filesystem;

class PathContainmentTest : public ::testing::Test {
 protected:
  PathContainmentTest()
      : base_(fsys::canonical(dir_.path()).string()), root_(base_ + "/data/store") {
    fsys::create_directories(root_ + "/PC1");
    fsys::create_directories(base_ + "/data/store-old");
    fsys::create_directories(base_ + "/data/sto");
  }

  TempDir dir_;
  std::string base_;
  std::string root_;
  PosixFileSystem fs_;
  PathContainment containment_{fs_};
};

TEST_F(PathContainmentTest, PathsAreResolvedAsFarAsTheDiskHasThem) {
  fsys::create_directory_symlink(base_ + "/data", base_ + "/link");
  EXPECT_EQ(containment_.Resolved(base_ + "//link/./store/"), root_);
  // The missing end is kept in normal form after the resolved part.
  EXPECT_EQ(containment_.Resolved(base_ + "/link/new//day/"), base_ + "/data/new/day");
  // ".." after a link climbs from where the link leads.
  fsys::create_directory_symlink(root_ + "/PC1", base_ + "/pc");
  EXPECT_EQ(containment_.Resolved(base_ + "/pc/.."), root_);
  EXPECT_EQ(containment_.Resolved("relative/./x/"), "relative/x");
  EXPECT_EQ(containment_.Resolved("/"), "/");
}

TEST_F(PathContainmentTest, LinksOnEitherSideLeadToTheFoldersTheyName) {
  using R = FolderRelation;
  fsys::create_directory_symlink(base_ + "/data", base_ + "/to-data");
  fsys::create_directory_symlink(root_ + "/PC1", base_ + "/into-store");
  fsys::create_directory_symlink(root_, base_ + "/store-link");
  EXPECT_EQ(containment_.RelationOf(base_ + "/to-data", root_), R::kHolds);
  EXPECT_EQ(containment_.RelationOf(base_ + "/into-store", root_), R::kSameOrInside);
  EXPECT_EQ(containment_.RelationOf(base_ + "/to-data/store-old", root_), R::kUnrelated);
  // The root itself a link.
  EXPECT_EQ(containment_.RelationOf(root_ + "/PC1", base_ + "/store-link"), R::kSameOrInside);
  EXPECT_EQ(containment_.RelationOf(base_ + "/data", base_ + "/store-link"), R::kHolds);
  EXPECT_EQ(containment_.RelationOf(base_ + "/store-link", root_), R::kSameOrInside);
  EXPECT_EQ(containment_.RelationOf(base_ + "/data/sto", base_ + "/store-link"), R::kUnrelated);
  // Names are whole and, on POSIX, differ by case.
  EXPECT_EQ(containment_.RelationOf(base_ + "/data/store-old", root_), R::kUnrelated);
  EXPECT_EQ(containment_.RelationOf(base_ + "/DATA", root_), R::kUnrelated);
}

TEST_F(PathContainmentTest, ABindMountIsTheFolderItShows) {
  fsys::create_directories(base_ + "/mnt/view");
  const BindMount bind(root_, base_ + "/mnt/view");
  if (!bind.Mounted()) GTEST_SKIP() << "bind mounts need privileges";
  EXPECT_TRUE(containment_.IsSameOrBelow(base_ + "/mnt/view", root_));
  EXPECT_TRUE(containment_.IsSameOrBelow(base_ + "/mnt/view/PC1", root_));
  EXPECT_TRUE(containment_.IsSameOrBelow(root_ + "/PC1", base_ + "/mnt/view"));
  EXPECT_FALSE(containment_.IsSameOrBelow(base_ + "/mnt", root_));
  EXPECT_EQ(FolderIdOf(fs_, base_ + "/mnt/view"), FolderIdOf(fs_, root_));
  EXPECT_NE(FolderIdOf(fs_, base_ + "/mnt"), FolderIdOf(fs_, root_));
  EXPECT_EQ(FolderIdOf(fs_, base_ + "/missing"), std::nullopt);
}

}  // namespace
}  // namespace varnoket
