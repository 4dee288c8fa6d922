#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/ShownFormat.h"

namespace varnoket {
namespace {

class ShownFormatTest : public ::testing::Test {
 protected:
  ~ShownFormatTest() override { SetShownConventions(FrenchConventions()); }
};

TEST_F(ShownFormatTest, WithNothingInstalledSizesAreWrittenTheFrenchWay) {
  EXPECT_EQ(ByteSizeText(0, SizeStyle::kShort), "0 o");
  EXPECT_EQ(ByteSizeText(-5, SizeStyle::kShort), "0 o");
  EXPECT_EQ(ByteSizeText(1023, SizeStyle::kShort), "1023 o");
  EXPECT_EQ(ByteSizeText(1536, SizeStyle::kShort), "1,5 Ko");
  EXPECT_EQ(ByteSizeText(117 * 1024 + 100, SizeStyle::kShort), "117 Ko");
  // Just under a unit: one up rather than "1024 Ko".
  EXPECT_EQ(ByteSizeText(1024 * 1024 - 1, SizeStyle::kShort), "1,0 Mo");
  EXPECT_EQ(ByteSizeText(1234567, SizeStyle::kExact), "1 234 567 o");
  EXPECT_EQ(ByteSizeText(999, SizeStyle::kExact), "999 o");
  EXPECT_EQ(ByteSizeText(-1000, SizeStyle::kExact), "-1 000 o");
  EXPECT_EQ(ByteSizeText(INT64_MIN, SizeStyle::kExact), "-9 223 372 036 854 775 808 o");
}

TEST_F(ShownFormatTest, EnglishConventionsChangeTheShownStylesButNeverTheLoggedOne) {
  SetShownConventions(EnglishConventions());
  EXPECT_EQ(ByteSizeText(12, SizeStyle::kShort), "12 B");
  EXPECT_EQ(ByteSizeText(1536 * 1024, SizeStyle::kShort), "1.5 MB");
  EXPECT_EQ(ByteSizeText(117 * 1024, SizeStyle::kShort), "117 KB");
  EXPECT_EQ(ByteSizeText(1234567, SizeStyle::kExact), "1,234,567 B");
  // Other copies of the program read the logs: French whatever is shown.
  EXPECT_EQ(ByteSizeText(12, SizeStyle::kLogged), "12 octets");
  EXPECT_EQ(ByteSizeText(1536, SizeStyle::kLogged), "1,5 Ko");
  EXPECT_EQ(ByteSizeText(3 * 1024 * 1024, SizeStyle::kLogged), "3,0 Mo");
  SetShownConventions(FrenchConventions());
  EXPECT_EQ(ByteSizeText(1536 * 1024, SizeStyle::kShort), "1,5 Mo");
}

std::string MonthFirst(const LocalDateTime& t, bool withTime) {
  std::string text =
      std::to_string(t.month) + "/" + std::to_string(t.day) + "/" + std::to_string(t.year % 100);
  return withTime ? text + " " + std::to_string(t.hour) + "h" : text;
}

TEST_F(ShownFormatTest, DatesUseTheInstalledFormatElseDayFirst) {
  const LocalDateTime t{2026, 12, 8, 14, 5, 6, 0};
  EXPECT_EQ(ShownDate(t), "08/12/2026");
  EXPECT_EQ(ShownDateTime(t), "08/12/2026 14:05:06");
  SetShownConventions(EnglishConventions(), &MonthFirst);
  EXPECT_EQ(ShownDate(t), "12/8/26");
  EXPECT_EQ(ShownDateTime(t), "12/8/26 14h");
  // The terminal's and the logs' form does not move.
  EXPECT_EQ(DayFirstDateTime(t), "08/12/2026 14:05:06");
  SetShownConventions(EnglishConventions());
  EXPECT_EQ(ShownDate(t), "08/12/2026");
}

}  // namespace
}  // namespace varnoket
