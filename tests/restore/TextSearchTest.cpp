#include <gtest/gtest.h>

#include "restore/TextSearch.h"

namespace varnoket {
namespace {

const TextSearch& sm = TextSearcher();

TEST(PosCharTest, FindsFromStartExactlyAndClampsLowStarts) {
  EXPECT_EQ(sm.PosChar('\\', "C:\\dir", 3), 3);
  EXPECT_EQ(sm.PosChar('\\', "C:\\dir", 4), 0);
  EXPECT_EQ(sm.PosChar('\\', "C:\\dir", 0), 3);
  EXPECT_EQ(sm.PosChar('\\', "C:\\dir", -5), 3);
  EXPECT_EQ(sm.PosChar('|', "a|b|c", 3), 4);   // the first at or after start, not the last
  EXPECT_EQ(sm.PosChar('\\', "C:\\", 10), 0);  // start beyond the end
  EXPECT_EQ(sm.PosChar('x', "", 1), 0);
  EXPECT_EQ(sm.PosChar('d', "C:\\DIR", 1), 0);  // no case folding here
}

TEST(PosTextTest, IgnoresAsciiCaseAndFindsTheLeftmostFromStart) {
  EXPECT_EQ(sm.PosText("version", "Nouvelle Version 1.13", 1), 10);
  EXPECT_EQ(sm.PosText("version", "NOUVELLE VERSION", 1), 10);
  EXPECT_EQ(sm.PosText("REPORT.DOC", "c:\\docs\\report.doc", 1), 9);
  EXPECT_EQ(sm.PosText("ab", "xxABab", 1), 3);
  EXPECT_EQ(sm.PosText("ab", "xxABab", 4), 5);
  EXPECT_EQ(sm.PosText("ab", "xxABab", 5), 5);
  EXPECT_EQ(sm.PosText("ab", "xxABab", 6), 0);  // only one byte left from there
  EXPECT_EQ(sm.PosText("ab", "xxABab", 0), 3);  // 0 counts as 1
  EXPECT_EQ(sm.PosText("ab", "xxABab", 99), 0);
  EXPECT_EQ(sm.PosText("abc", "ab", 1), 0);
  EXPECT_EQ(sm.PosText("aac", "aaab", 1), 0);  // a partial match is not a match
  EXPECT_EQ(sm.PosText("", "abc", 1), 0);
  EXPECT_EQ(sm.PosText("a-b", "A_B", 1), 0);  // only letters fold
}

TEST(PosTextTest, AccentedLettersMatchTheirCapitalsCountingBytes) {
  // "l'ÉTÉ" holds É as two bytes: positions count bytes.
  EXPECT_EQ(sm.PosText("\xC3\xA9t\xC3\xA9", "l'\xC3\x89T\xC3\x89", 1), 3);
  EXPECT_EQ(sm.PosText("\xC3\x80 BIENT\xC3\x94T", "\xC3\xA0 bient\xC3\xB4t", 1), 1);
  EXPECT_EQ(sm.PosText("\xC3\xA7", "GAR\xC3\x87ON", 1), 4);  // ç and Ç
  // The division sign is not a small multiplication sign.
  EXPECT_EQ(sm.PosText("\xC3\xB7", "\xC3\x97", 1), 0);
  // Only continuation bytes after C3 are letters of that row: U+0120 and
  // U+0100 (C4 A0, C4 80) are not a case pair.
  EXPECT_EQ(sm.PosText("\xC4\xA0", "\xC4\x80", 1), 0);
  // Nor is a lone continuation byte folded onto another.
  EXPECT_EQ(sm.PosText("\xA9", "\xC3\x89", 1), 0);
}

TEST(TextSearchTest, OneSharedInstance) {
  EXPECT_EQ(&TextSearcher(), &sm);
}

}  // namespace
}  // namespace varnoket
