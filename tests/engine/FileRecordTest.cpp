#include <gtest/gtest.h>

#include <random>

#include "engine/FileRecord.h"
#include "platform/TextLines.h"

namespace varnoket {
namespace {

TEST(FileRecord, FormatsSizesAsTheLow32BitsSigned) {
  EXPECT_EQ(FormatFileRecord(3LL << 30, 7, "_/a.ZZ", "/a", 33188, -5),
            "-1073741824|7|_/a.ZZ|/a|33188|-5|0");
  EXPECT_EQ(FormatFileRecord(0, 4294967295u, "n", "/p", 1, 2), "0|4294967295|n|/p|1|2|0");
  EXPECT_EQ(FormatDirectoryRecord("/d", 16877, 3), "0|0|*|/d|16877|3|0");
}

TEST(FileRecord, ParsingSkipsShortAndTruncatedLinesAndIgnoresExtraFields) {
  EXPECT_FALSE(ParseFileRecord("1|2|3|4|5|"));         // 10 characters
  EXPECT_FALSE(ParseFileRecord("12|34|n|/path|5|6"));  // six fields
  const auto r = ParseFileRecord("12|34|n|/path|5|6|0|extra");
  ASSERT_TRUE(r);
  EXPECT_EQ(*r, (FileRecord{12, 34, "n", "/path", 5, 6, true}));
  EXPECT_EQ(r->Format(), "12|34|n|/path|5|6|0");
  EXPECT_TRUE(ParseFileRecord("0|0|*|/some/dir|16877|1|0")->IsDirectory());
  EXPECT_FALSE(ParseFileRecord("0|0|n|/some/file|16877|1|1")->offered);
}

// Each number is read as its kind, with nothing around it; the fault says
// which part of the line is wrong.
TEST(FileRecord, NumbersMustBeNumbersOfTheirKind) {
  const auto r = ParseFileRecord("-1294967296|4294967295|n|/p|-2147483648|-5|0");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->size, -1294967296);
  EXPECT_EQ(r->RecordedBytes(), 3000000000);
  EXPECT_EQ(r->checksum, 4294967295u);
  EXPECT_EQ(r->fileDate, -5);
  // The attribute word is taken signed or unsigned, and written unsigned.
  EXPECT_EQ(r->attributes, ParseFileRecord("1|2|n|/p|2147483648|3|0")->attributes);
  EXPECT_EQ(r->Format(), "-1294967296|4294967295|n|/p|2147483648|-5|0");

  const std::vector<std::pair<std::string, RecordFault>> wrong{
      {"|1|n|/path|0|0|0", RecordFault::kBadNumber},
      {"1||n|/path|0|0|0", RecordFault::kBadNumber},
      {"12a|1|n|/path|0|0|0", RecordFault::kBadNumber},
      {"1|-1|n|/path|0|0|0", RecordFault::kBadNumber},
      {"2147483648|1|n|/path|0|0|0", RecordFault::kBadNumber},
      {"1|4294967296|n|/path|0|0|0", RecordFault::kBadNumber},
      {" 1|1|n|/path|0|0|0", RecordFault::kBadNumber},
      {"+1|1|n|/path|0|0|0", RecordFault::kBadNumber},
      {"1|1|n|/path|4294967296|0|0", RecordFault::kBadNumber},
      {"1|1|n|/path|-2147483649|0|0", RecordFault::kBadNumber},
      {"1|1|n|/path|0|2147483648|0", RecordFault::kBadNumber},
      {"1|1|n|/path|0|0|2", RecordFault::kBadLastField},
      {"1|1|n|/path|0|0|", RecordFault::kBadLastField},
      {"1|1|n|/path|0|0", RecordFault::kCut},
  };
  for (const auto& [line, fault] : wrong) {
    RecordFault why = RecordFault::kNone;
    EXPECT_FALSE(ParseFileRecord(line, &why)) << line;
    EXPECT_EQ(why, fault) << line;
  }
}

TEST(FileRecord, SplitFieldsKeepsEmptyPieces) {
  std::vector<std::string> pieces;
  SplitFields("a|b|", '|', pieces);
  EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b", ""}));
  pieces.clear();
  SplitFields("", '|', pieces);
  EXPECT_EQ(pieces, std::vector<std::string>{""});
}

TEST(FileRecord, OrdinalOrderIsByteWiseWithShorterFirst) {
  std::vector<std::string> list{"9|x", "10|x", "\xe9", "a", "ab", "B"};
  SortOrdinal(list);
  EXPECT_EQ(list, (std::vector<std::string>{"10|x", "9|x", "B", "a", "ab", "\xe9"}));
  EXPECT_EQ(CompareOrdinal("ab", "a"), 1);
  EXPECT_EQ(CompareOrdinal("a", "a"), 0);
  EXPECT_EQ(CompareOrdinal("\x7f", "\x80"), -1);
}

// The day's records are kept in the order of their lines without writing
// them: that order must be exactly the lines' own, signs, digits of
// different lengths, bytes on either side of the separator and bytes above
// 0x7f included.
TEST(FileRecord, RecordsCompareAndMeasureAsTheirLinesDo) {
  std::mt19937 random(20261210);
  const std::vector<std::string> pieces{"", "a", "a{", "a|", "a~", "A", "\xe9", "0", "/d/", "*"};
  const std::vector<int64_t> numbers{0, 1, 9, 10, 99, 100, -1, -10, 2147483647, -2147483648LL};
  const auto pick = [&random](const auto& from) { return from[random() % from.size()]; };
  const auto text = [&] { return pick(pieces) + pick(pieces) + pick(pieces); };
  std::vector<FileRecord> records;
  for (int i = 0; i < 400; ++i) {
    FileRecord r;
    r.size = static_cast<int32_t>(pick(numbers));
    r.checksum = static_cast<uint32_t>(pick(numbers));
    r.storedName = text();
    r.fullPath = text();
    r.attributes = static_cast<int32_t>(pick(numbers));
    r.fileDate = static_cast<int32_t>(pick(numbers));
    r.offered = random() % 2 == 0;
    records.push_back(r);
  }
  records.push_back(records.front());  // equal records compare equal
  for (size_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(records[i].FormattedLength(), records[i].Format().size()) << records[i].Format();
    for (size_t j = 0; j < records.size(); j += 7) {
      ASSERT_EQ(CompareRecordLines(records[i], records[j]),
                CompareOrdinal(records[i].Format(), records[j].Format()))
          << records[i].Format() << " / " << records[j].Format();
    }
  }
}

TEST(FileRecord, FindByPrefixFindsEveryKeyPresentAndNoOther) {
  std::vector<std::string> list;
  for (int i = 0; i < 300; i += 3)
    list.push_back(std::to_string(i) + "|" + std::to_string(i * 7) + "|n|/p|0|0|0");
  SortOrdinal(list);
  EXPECT_EQ(FindByPrefix("1|", {}), -1);
  for (int i = 0; i < 300; ++i) {
    const std::string key = std::to_string(i) + "|" + std::to_string(i * 7) + "|";
    const int found = FindByPrefix(key, list);
    if (i % 3 == 0) {
      ASSERT_GE(found, 0) << key;
      EXPECT_EQ(list[static_cast<size_t>(found)].rfind(key, 0), 0u);
    } else {
      EXPECT_EQ(found, -1) << key;
    }
  }
}

TEST(FileRecord, LinesRoundTripWithCrLf) {
  const std::vector<std::string> lines{"a", "", "b"};
  EXPECT_EQ(JoinLines(lines), "a\r\n\r\nb\r\n");
  EXPECT_EQ(SplitLines(JoinLines(lines)), lines);
  EXPECT_EQ(SplitLines("x\ny"), (std::vector<std::string>{"x", "y"}));
  EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
}  // namespace varnoket
