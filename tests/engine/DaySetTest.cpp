// The day's backup set and its file system notes: what a run writes, what a
// reader takes back, and what it refuses from a set file written elsewhere.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/DaySet.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

class DaySetTest : public ::testing::Test {
 protected:
  DaySetTest() { std::filesystem::create_directories(day); }
  DaySet Read() { return ReadDaySet(fs, layout, day); }

  TempDir tmp;
  FileSystem& fs = DefaultFileSystem();
  StoreLayout layout{PathRules(PathStyle::kPosix), tmp / "store", "PC"};
  std::string day = tmp / "store/PC/01032006";
};

TEST_F(DaySetTest, FoldersComeBackInNormalFormWithTheFileSystemTheyWereOn) {
  ASSERT_TRUE(WriteDaySet(fs, layout, day, {"/home/anna/", "/data//photos/.", "/srv"},
                          {{"/home/anna", 66306}, {"/data/photos", 2049}}));
  // Folder lines first; the notes after them are no path.
  EXPECT_EQ(
      ReadFile(day + "/backupset.txt"),
      "/home/anna\r\n/data/photos\r\n/srv\r\nfs=66306\t/home/anna\r\nfs=2049\t/data/photos\r\n");
  const DaySet set = Read();
  EXPECT_TRUE(set.recorded);
  EXPECT_EQ(set.folders, (std::vector<std::string>{"/home/anna", "/data/photos", "/srv"}));
  EXPECT_EQ(set.fileSystems,
            (std::map<std::string, uint64_t>{{"/home/anna", 66306}, {"/data/photos", 2049}}));
  const PathRules rules(PathStyle::kPosix);
  EXPECT_TRUE(set.Holds(rules, "/data/photos/cat.jpg"));
  EXPECT_FALSE(set.Holds(rules, "/data/other.txt"));
}

TEST_F(DaySetTest, ANoteNeverAddsAFolderAndABadNoteIsPassedOver) {
  WriteFile(day + "/backupset.txt",
            "/home/anna\r\n"
            "fs=12\t/elsewhere\r\n"  // a folder that is not in the set
            "fs=\t/home/anna\r\n"
            "fs=12x\t/home/anna\r\n"
            "fs=99999999999999999999999\t/home/anna\r\n"
            "fs=7\r\n"
            "/home/anna/../etc\r\n"
            "fs=5\t/home/anna\r\n");
  const DaySet set = Read();
  EXPECT_EQ(set.folders, std::vector<std::string>{"/home/anna"});
  EXPECT_EQ(set.fileSystems, (std::map<std::string, uint64_t>{{"/home/anna", 5}}));
  EXPECT_FALSE(set.Holds(PathRules(PathStyle::kPosix), "/elsewhere/x"));
}

}  // namespace
}  // namespace varnoket::test
