#include <gtest/gtest.h>

#include <string>

#include "platform/PathRules.h"

namespace varnoket {
namespace {

const PathRules kWin(PathStyle::kWindows);
const PathRules kPosix(PathStyle::kPosix);

TEST(PathRulesTest, StoredNameTurnsTheRootIntoAFolder) {
  EXPECT_EQ(kWin.StoredName("C:\\Data\\a.txt"), "C_\\Data\\a.txt.ZZ");
  EXPECT_EQ(kWin.StoredName("\\\\srv\\share\\a.txt"), "__srv\\share\\a.txt.ZZ");
  EXPECT_EQ(kPosix.StoredName("/home/a.txt"), "_/home/a.txt.ZZ");
}

TEST(PathRulesTest, StoredNamesOfRealPathsAreSafe) {
  EXPECT_TRUE(kWin.IsSafeStoredName(kWin.StoredName("C:\\Data\\a.txt")));
  EXPECT_TRUE(kWin.IsSafeStoredName(kWin.StoredName("\\\\srv\\share\\a.txt")));
  EXPECT_TRUE(kPosix.IsSafeStoredName(kPosix.StoredName("/home/a.txt")));
}

TEST(PathRulesTest, StoredNamesThatLeaveTheDayFolderAreRefused) {
  using std::string_literals::operator""s;
  for (const std::string& bad : {""s, "/etc/passwd"s, "_/../x.ZZ"s, "_/a/./b.ZZ"s, "_//a.ZZ"s,
                                 "_/a/"s, ".."s, "_/a\0b.ZZ"s}) {
    EXPECT_FALSE(kPosix.IsSafeStoredName(bad)) << bad;
  }
  for (const std::string bad :
       {"\\Windows\\x.ZZ", "C:x.ZZ", "C_\\..\\x.ZZ", "C_/../x.ZZ", "C_\\\\x.ZZ", "/x.ZZ"}) {
    EXPECT_FALSE(kWin.IsSafeStoredName(bad)) << bad;
  }
  // A backslash is an ordinary character in a POSIX name.
  EXPECT_TRUE(kPosix.IsSafeStoredName("_/a\\..\\b.ZZ"));
}

TEST(PathRulesTest, SameOrBelowComparesWholeComponents) {
  EXPECT_TRUE(kPosix.IsSameOrBelow("/a/b", "/a/b"));
  EXPECT_TRUE(kPosix.IsSameOrBelow("/a/b/c", "/a/b"));
  EXPECT_TRUE(kPosix.IsSameOrBelow("/a/b/c", "/a/b/"));
  EXPECT_TRUE(kPosix.IsSameOrBelow("/a/b", "/a/b/"));
  EXPECT_TRUE(kPosix.IsSameOrBelow("/x", "/"));
  EXPECT_FALSE(kPosix.IsSameOrBelow("/a/bc", "/a/b"));
  EXPECT_FALSE(kPosix.IsSameOrBelow("/a", "/a/b"));
  EXPECT_FALSE(kPosix.IsSameOrBelow("/A/b", "/a"));
  EXPECT_FALSE(kPosix.IsSameOrBelow("relative", "/"));

  EXPECT_TRUE(kWin.IsSameOrBelow("c:\\DATA\\x", "C:\\data"));
  EXPECT_TRUE(kWin.IsSameOrBelow("C:\\x", "C:\\"));
  EXPECT_FALSE(kWin.IsSameOrBelow("C:\\database", "C:\\data"));
}

TEST(PathRulesTest, JoiningAndTrimmingSeparators) {
  EXPECT_EQ(kPosix.Join("/", "x"), "/x");
  EXPECT_EQ(kPosix.Join("/a/", "/b"), "/a/b");
  EXPECT_EQ(kPosix.Join("/a", "b"), "/a/b");
  EXPECT_EQ(kWin.Join("E:\\Sauv", "PC1"), "E:\\Sauv\\PC1");
  EXPECT_EQ(kPosix.RemoveTrailingSeparator("/data/"), "/data");
  EXPECT_EQ(kPosix.RemoveTrailingSeparator("/"), "/");
  EXPECT_EQ(kWin.RemoveTrailingSeparator("E:\\Sauvegardes\\"), "E:\\Sauvegardes");
  EXPECT_EQ(kPosix.EnsureTrailingSeparator("/a"), "/a/");
  EXPECT_EQ(kPosix.EnsureTrailingSeparator("/a/"), "/a/");
}

TEST(PathRulesTest, FolderAndNameParts) {
  EXPECT_EQ(kWin.ParentWithSeparator("C:\\Data\\a.txt"), "C:\\Data\\");
  EXPECT_EQ(kWin.ParentWithSeparator("C:a.txt"), "C:");
  EXPECT_EQ(kWin.FileName("C:a.txt"), "a.txt");
  EXPECT_EQ(kPosix.ParentWithSeparator("/home/a.txt"), "/home/");
  EXPECT_EQ(kPosix.FileName("/home/a.txt"), "a.txt");
  EXPECT_EQ(kPosix.ParentWithSeparator("a.txt"), "");
  // Listed folders are compared in one form: "/a//b/./c/.." names "/a/b".
  EXPECT_EQ(kPosix.LexicallyNormal("/a//b/./c/.."), "/a/b/");
  EXPECT_EQ(kPosix.LexicallyNormal("/a/../../b"), "/b");
  EXPECT_EQ(kWin.LexicallyNormal("C:\\a\\.\\b"), "C:\\a\\.\\b");
}

TEST(PathRulesTest, ComparisonFollowsTheStyle) {
  EXPECT_TRUE(kWin.Equal("C:\\Data", "c:\\DATA"));
  EXPECT_FALSE(kPosix.Equal("/Data", "/data"));
  EXPECT_TRUE(kWin.StartsWith("C:\\Data\\x", "c:\\data"));
  EXPECT_TRUE(kWin.IsRecordablePath("C:\\x"));
  EXPECT_TRUE(kWin.IsRecordablePath("\\\\srv\\s"));
  EXPECT_FALSE(kWin.IsRecordablePath("xy\\z"));
  EXPECT_TRUE(kPosix.IsAbsolute("/x"));
  EXPECT_FALSE(kPosix.IsAbsolute("x"));
  EXPECT_TRUE(kWin.IsAbsolute("C:\\x"));
  EXPECT_FALSE(kWin.IsAbsolute("C:x"));
}

}  // namespace
}  // namespace varnoket
