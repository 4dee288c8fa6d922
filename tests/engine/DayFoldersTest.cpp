#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "engine/DayFolders.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::WriteFile;

TEST(DayFolders, OnlyEightDigitFoldersWithAFileListAreDaysAndTheySortByDate) {
  test::TempDir tmp;
  WriteFile(tmp / "31122023/filelist.txt", "");
  WriteFile(tmp / "01012024/filelist.txt", "");
  WriteFile(tmp / "07032006/filelist.txt", "");
  WriteFile(tmp / "2006-03-07/filelist.txt", "");
  WriteFile(tmp / "1501202a/filelist.txt", "");
  WriteFile(tmp / "08032006/other.txt", "");  // no file list
  WriteFile(tmp / "09032006", "a file, not a folder");
  const PathRules rules(PathStyle::kPosix);
  EXPECT_EQ(SortedDayFolders(DefaultFileSystem(), rules, tmp.path()),
            (std::vector<std::string>{"07032006", "31122023", "01012024"}));
  EXPECT_EQ(DayKey("07032006"), "2006030707032006");
  EXPECT_EQ(DayTextOfKey(DayKey("07032006")), "07/03/2006");
  EXPECT_TRUE(SortedDayFolders(DefaultFileSystem(), rules, tmp / "missing").empty());
}

TEST(DayFolders, MoveReplacingLetsTheSourceWinAndRemovesIt) {
  test::TempDir tmp;
  WriteFile(tmp / "old/both.ZZ", "old");
  WriteFile(tmp / "old/old-only.ZZ", "kept");
  WriteFile(tmp / "new/both.ZZ", "new");
  WriteFile(tmp / "new/sub/deep.ZZ", "deep");
  const PathRules rules(PathStyle::kPosix);
  EXPECT_TRUE(MergeDirectories(DefaultFileSystem(), rules, tmp / "old", tmp / "new",
                               MergeMode::kMoveReplacing));
  EXPECT_EQ(test::ReadFile(tmp / "old/both.ZZ"), "new");
  EXPECT_EQ(test::ReadFile(tmp / "old/old-only.ZZ"), "kept");
  EXPECT_EQ(test::ReadFile(tmp / "old/sub/deep.ZZ"), "deep");
  EXPECT_FALSE(std::filesystem::exists(tmp / "new"));
  EXPECT_THROW(
      MergeDirectories(DefaultFileSystem(), rules, "", tmp / "x", MergeMode::kMoveReplacing),
      std::logic_error);
}

TEST(DayFolders, ShareWantedFilesGivesOnlyWantedFilesTheDestinationLacks) {
  test::TempDir tmp;
  WriteFile(tmp / "older/both.ZZ", "older");
  WriteFile(tmp / "older/d/wanted.ZZ", "wanted");
  WriteFile(tmp / "older/.hidden/deep.ZZ", "below a hidden folder");
  WriteFile(tmp / "older/gone/unwanted.ZZ", "named by no kept day");
  WriteFile(tmp / "older/d/.vk-part-3", "a stopped run's leftover");
  WriteFile(tmp / "newer/both.ZZ", "newer");
  const PathRules rules(PathStyle::kPosix);
  const std::unordered_set<std::string> wanted = {"both.ZZ", "d/wanted.ZZ", ".hidden/deep.ZZ",
                                                  "not/there.ZZ"};
  EXPECT_TRUE(ShareWantedFiles(DefaultFileSystem(), rules, tmp / "newer", tmp / "older", wanted));
  EXPECT_EQ(test::ReadFile(tmp / "newer/both.ZZ"), "newer");  // its own copy wins
  EXPECT_EQ(test::ReadFile(tmp / "newer/d/wanted.ZZ"), "wanted");
  EXPECT_EQ(test::ReadFile(tmp / "newer/.hidden/deep.ZZ"), "below a hidden folder");
  // Nothing else, not even an empty folder for what was left out.
  EXPECT_FALSE(std::filesystem::exists(tmp / "newer/gone"));
  EXPECT_FALSE(std::filesystem::exists(tmp / "newer/d/.vk-part-3"));
  EXPECT_FALSE(std::filesystem::exists(tmp / "newer/not"));
  EXPECT_EQ(test::ReadFile(tmp / "older/both.ZZ"), "older");  // the source is untouched
  EXPECT_EQ(test::ReadFile(tmp / "older/gone/unwanted.ZZ"), "named by no kept day");
  EXPECT_TRUE(std::filesystem::equivalent(tmp / "newer/d/wanted.ZZ", tmp / "older/d/wanted.ZZ"));

  EXPECT_FALSE(ShareWantedFiles(DefaultFileSystem(), rules, tmp / "newer", tmp / "missing",
                                wanted));  // a source that cannot be listed may hold anything
  EXPECT_THROW(ShareWantedFiles(DefaultFileSystem(), rules, "", tmp / "older", wanted),
               std::logic_error);
  EXPECT_TRUE(RemoveTree(DefaultFileSystem(), rules, tmp / "older"));
  EXPECT_FALSE(std::filesystem::exists(tmp / "older"));
}

}  // namespace
}  // namespace varnoket
