// The version file's line and version rules.
#include <gtest/gtest.h>

#include "update/VersionFile.h"

namespace varnoket {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitVersionLines, EveryKindOfLineBreakEndsALine) {
  EXPECT_EQ(SplitVersionLines("1.14\r\nhttp://a/x\nhttp://a/y\rhttp://a/z"),
            (Lines{"1.14", "http://a/x", "http://a/y", "http://a/z"}));
  // LF CR is two breaks, with an empty line between them.
  EXPECT_EQ(SplitVersionLines("a\n\rb"), (Lines{"a", "", "b"}));
}

TEST(SplitVersionLines, AFinalBreakAddsNoLineButInnerEmptyLinesStay) {
  EXPECT_EQ(SplitVersionLines("1.14\r\n"), (Lines{"1.14"}));
  EXPECT_EQ(SplitVersionLines("1.14\r"), (Lines{"1.14"}));
  EXPECT_EQ(SplitVersionLines("1.14\n\n"), (Lines{"1.14", ""}));
  EXPECT_EQ(SplitVersionLines("1.14\r\n\r\nhttp://a/x\r\n"), (Lines{"1.14", "", "http://a/x"}));
  EXPECT_TRUE(SplitVersionLines("").empty());
  EXPECT_EQ(SplitVersionLines("\n"), (Lines{""}));
}

TEST(SplitVersionLines, TheTextEndsAtTheFirstNul) {
  EXPECT_EQ(SplitVersionLines(std::string("1.14\nhttp://a/x\0\nhttp://a/y\n", 28)),
            (Lines{"1.14", "http://a/x"}));
  EXPECT_TRUE(SplitVersionLines(std::string("\0abc", 4)).empty());
}

TEST(SplitVersionLines, AddressesAreKeptExactlyAsWritten) {
  EXPECT_EQ(SplitVersionLines("1\n  http://a/x \t\n"), (Lines{"1", "  http://a/x \t"}));
}

TEST(NormalizeVersion, TrimsBlanksAndControlsAndReadsCommasAsDots) {
  EXPECT_EQ(NormalizeVersion(" \t1,13\x01 "), "1.13");
  EXPECT_EQ(NormalizeVersion("1.13"), "1.13");
  EXPECT_EQ(NormalizeVersion("1,2,3"), "1.2.3");
  EXPECT_EQ(NormalizeVersion("1 .13"), "1 .13");  // inner blanks are part of the version
  EXPECT_EQ(NormalizeVersion(" \x7f\t "), "");
  EXPECT_EQ(NormalizeVersion(""), "");
  // Bytes above 127 are letters of a UTF-8 text, never blanks.
  EXPECT_EQ(NormalizeVersion("\xc3\xa9t\xc3\xa9"), "\xc3\xa9t\xc3\xa9");
}

}  // namespace
}  // namespace varnoket
