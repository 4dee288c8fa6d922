#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Wildcard.h"

namespace varnoket {
namespace {

struct Case {
  const char* name;
  const char* pattern;
  bool matches;
};

void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(MatchWildcard(c.name, c.pattern), c.matches)
        << "name \"" << c.name << "\" pattern \"" << c.pattern << "\"";
  }
}

TEST(MatchWildcardTest, StarsQuestionMarksAndLiterals) {
  ExpectCases({
      {"A.TMP", "*.TMP", true},
      {"~WRL0001.TMP", "~*", true},
      {"X.BAK1", "*.BAK", false},
      {"X.BAK", "*.BAK", true},
      {"", "*", true},
      {"", "", true},
      {"A", "", false},
      {"", "?", false},
      {"ABC", "A?C", true},
      {"AC", "A?C", false},
      {"ABBC", "A?C", false},
      {"AXBXXC", "A*B*C", true},
      {"AXBXX", "A*B*C", false},
      // The first place where ".TMP" occurs is not the one that must match.
      {"A.TMP.TMP", "*.TMP", true},
      {"A.TMPX.TMP", "*.TMP?", false},
      {"ABAB", "*AB", true},
      {"A", "**A**", true},
      {"a.tmp", "*.TMP", false},  // case is the caller's business
  });
}

TEST(MatchWildcardTest, SetsRangesAndNegation) {
  ExpectCases({
      {"BILAN.DOC", "[A-C]*", true},
      {"DOC", "[A-C]*", false},
      {"DOC", "[^A-C]*", true},
      {"BILAN", "[^A-C]*", false},
      {"X1", "[ABX]1", true},
      {"Y1", "[ABX]1", false},
      {"F5", "F[0-9]", true},
      {"F-", "F[A-]", true},  // a '-' closing the set is itself a member
      {"FB", "F[A-]", false},
      {"\xE9", "[\xE0-\xEF]", true},  // ranges are byte values, not signed chars
      {"A", "A[B]", false},           // a set needs a byte to match
      {"A", "A[^B]", false},
  });
}

TEST(MatchWildcardTest, MalformedSetsNeverMatch) {
  ExpectCases({
      {"]", "[]]", false},
      {"[", "[[]", false},
      {"A[", "A[", false},
      {"A", "[ABC", false},
      {"ABC", "*[A-", false},
      {"XYZ", "*[]X", false},
  });
}

TEST(MatchWildcardTest, ManyStarsOnALongNameFinish) {
  // Naive backtracking would take exponential time here.
  const std::string name(200, 'A');
  EXPECT_FALSE(MatchWildcard(name, "*A*A*A*A*A*A*A*A*A*A*A*A*B"));
  EXPECT_TRUE(MatchWildcard(name + "B", "*A*A*A*A*A*A*A*A*A*A*A*A*B"));
}

DirEntry File(const std::string& name) {
  DirEntry e;
  e.name = name;
  e.isRegularFile = true;
  return e;
}

TEST(IsIncludedTest, FiltersIgnoreAsciiCaseAndSurroundingBlanks) {
  EXPECT_FALSE(IsIncluded(File("REPORT.TMP"), {"*.tmp"}));
  EXPECT_FALSE(IsIncluded(File("report.tmp"), {"*.TMP"}));
  EXPECT_FALSE(IsIncluded(File("x.Bak"), {"*.txt", " \t*.bak\r\n"}));
  EXPECT_FALSE(IsIncluded(File("bilan.doc"), {"[a-c]*"}));
  EXPECT_TRUE(IsIncluded(File("REPORT.TMP"), {"*.doc", "~*"}));
  EXPECT_TRUE(IsIncluded(File("REPORT.TMP"), {}));
  // A blank filter must not exclude everything.
  EXPECT_TRUE(IsIncluded(File("REPORT.TMP"), {"   "}));
  // Only ASCII letters are folded: "é" and "É" stay different.
  EXPECT_TRUE(IsIncluded(File("\xC3\xA9t\xC3\xA9.txt"), {"\xC3\x89T\xC3\x89.TXT"}));
  EXPECT_FALSE(IsIncluded(File("\xC3\xA9t\xC3\xA9.txt"), {"\xC3\xA9T\xC3\xA9.TXT"}));
}

TEST(IsIncludedTest, DirectoriesAreNeverIncluded) {
  DirEntry dir = File("X.TMP");
  dir.isRegularFile = false;
  dir.isDirectory = true;
  EXPECT_FALSE(IsIncluded(dir, {}));
  EXPECT_FALSE(IsIncluded(dir, {"*.doc"}));
}

}  // namespace
}  // namespace varnoket
