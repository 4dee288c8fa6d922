// The walk of the backup set never enters the store, whatever name leads to
// it, and never walks one folder twice, so a bind mount that shows a folder
// inside itself cannot make it loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/FileRecord.h"
#include "support/BindMount.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

class SourceScanContainmentTest : public ::testing::Test {
 protected:
  // The paths recorded by the first day's list.
  std::vector<std::string> Recorded() {
    std::vector<std::string> paths;
    for (const auto& line : f.FileList("01032006")) {
      paths.push_back(ParseFileRecord(line)->fullPath);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
  }

  // The log lines that start with `prefix`.
  std::vector<std::string> Logged(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const auto& l : f.host.logged) {
      if (l.rfind(prefix, 0) == 0) lines.push_back(l);
    }
    return lines;
  }

  static std::string StoreLine(const std::string& place) {
    return "ATTENTION: Le répertoire (" + place +
           ") contient les sauvegardes : il n'est pas sauvegardé.";
  }
  static std::string AgainLine(const std::string& place) {
    return "ATTENTION: Le répertoire (" + place +
           ") a déjà été parcouru par un autre chemin (boucle ou montage) : il n'est pas "
           "sauvegardé une seconde fois.";
  }

  StoreFixture f;
};

TEST_F(SourceScanContainmentTest, ALinkToTheStoreInsideTheSetIsNotFollowed) {
  const std::string doc = f.Write("doc.txt", "kept");
  fsys::create_directory_symlink(f.root, f.source + "/store");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(Recorded(), std::vector<std::string>{doc});
  EXPECT_TRUE(Logged("ATTENTION: Le répertoire").empty());
}

TEST_F(SourceScanContainmentTest, AListedLinkToTheStoreOrToItsParentSkipsTheStoreWithALine) {
  const std::string doc = f.Write("doc.txt", "kept");
  const std::string toStore = f.tmp / "to-store";
  fsys::create_directory_symlink(f.root, toStore);
  f.station.backupDirectories = {f.source, toStore};
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(Recorded(), std::vector<std::string>{doc});
  EXPECT_EQ(Logged("ATTENTION: Le répertoire"), std::vector<std::string>{StoreLine(toStore)});

  // A link to the folder that holds both the set and the store: the set is
  // saved through the link, the store is not entered.
  f.SetDay(2, 3, 2006);
  const std::string toTmp = f.tmp / "to-tmp";
  fsys::create_directory_symlink(f.tmp.path(), toTmp);
  f.station.backupDirectories = {toTmp};
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  std::vector<std::string> paths;
  for (const auto& line : f.FileList("02032006")) paths.push_back(ParseFileRecord(line)->fullPath);
  EXPECT_NE(std::find(paths.begin(), paths.end(), toTmp + "/src/doc.txt"), paths.end());
  for (const auto& p : paths) EXPECT_EQ(p.find(toTmp + "/store"), std::string::npos) << p;
  EXPECT_EQ(Logged("ATTENTION: Le répertoire"),
            std::vector<std::string>{StoreLine(toTmp + "/store")});
}

TEST_F(SourceScanContainmentTest, TheStoreMountedBelowTheSetIsSkippedWithALine) {
  const std::string doc = f.Write("doc.txt", "kept");
  fsys::create_directories(f.source + "/view");
  const BindMount bind(f.root, f.source + "/view");
  if (!bind.Mounted()) GTEST_SKIP() << "bind mounts need privileges";
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(Recorded(), std::vector<std::string>{doc});
  EXPECT_EQ(Logged("ATTENTION: Le répertoire"),
            std::vector<std::string>{StoreLine(f.source + "/view")});
}

TEST_F(SourceScanContainmentTest, AMountThatLoopsIsWalkedOnce) {
  const std::string doc = f.Write("doc.txt", "kept");
  const std::string deep = f.Write("sub/deep.txt", "deep");
  fsys::create_directories(f.source + "/sub/loop");
  const BindMount bind(f.source, f.source + "/sub/loop");
  if (!bind.Mounted()) GTEST_SKIP() << "bind mounts need privileges";
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(Recorded(), (std::vector<std::string>{doc, deep}));
  EXPECT_EQ(Logged("ATTENTION: Le répertoire"),
            std::vector<std::string>{AgainLine(f.source + "/sub/loop")});

  // A folder listed a second time inside another is saved once: the file
  // list is the same as the day before.
  f.SetDay(2, 3, 2006);
  f.station.backupDirectories = {f.source, f.source + "/sub"};
  EXPECT_EQ(f.Backup(), BackupOutcome::kNoChange);
  EXPECT_EQ(
      Logged("ATTENTION: Le répertoire"),
      (std::vector<std::string>{AgainLine(f.source + "/sub/loop"), AgainLine(f.source + "/sub")}));
}

}  // namespace
}  // namespace varnoket::test
