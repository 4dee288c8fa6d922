#include <gtest/gtest.h>

#include "settings/ConfigurationRules.h"
#include "settings/NumberField.h"

namespace varnoket {
namespace {

TEST(NumberFieldTest, OnlyASignAndDecimalDigitsReadAsAWholeNumber) {
  int value = -7;
  EXPECT_TRUE(ParseWholeNumber("+5", value));
  EXPECT_EQ(value, 5);
  EXPECT_TRUE(ParseWholeNumber("-12", value));
  EXPECT_EQ(value, -12);
  for (const char* bad : {"", "+", "-", "+-1", "1a", " 5", "1.5", "0x1F", "99999999999"}) {
    value = 42;
    EXPECT_FALSE(ParseWholeNumber(bad, value)) << bad;
    EXPECT_EQ(value, 42) << bad;
  }
}

TEST(NumberFieldTest, TheRangesStopAtTheirBounds) {
  EXPECT_TRUE(NumberFieldAccepts(kDaysKeptRule, "1"));  // on the way to 10..19
  EXPECT_TRUE(NumberFieldAccepts(kDaysKeptRule, "120"));
  EXPECT_FALSE(NumberFieldAccepts(kDaysKeptRule, "0"));
  EXPECT_TRUE(NumberFieldAccepts(kHourRule, "0"));
  EXPECT_FALSE(NumberFieldAccepts(kHourRule, "-1"));
  EXPECT_TRUE(NumberFieldAccepts(kMinuteRule, "59"));
  EXPECT_FALSE(NumberFieldAccepts(kMinuteRule, "60"));
}

TEST(NumberFieldTest, ValidationNamesEveryWrongFieldInOrderWithItsRangeOrAMissingValue) {
  EXPECT_TRUE(CheckNumberFields({"13", "0", "30"}).empty());
  // An empty minute is the key's default, not a fault.
  EXPECT_TRUE(CheckNumberFields({"0", "", "1"}).empty());

  const std::vector<NumberFieldProblem> all = CheckNumberFields({"25", "1e3", "-1"});
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].field, NumberFieldId::kHour);
  EXPECT_STREQ(all[0].message, kHourRule.message);
  EXPECT_EQ(all[1].field, NumberFieldId::kMinute);
  EXPECT_STREQ(all[1].message, kMinuteRule.message);
  EXPECT_EQ(all[2].field, NumberFieldId::kDaysKept);
  EXPECT_STREQ(all[2].message, kDaysKeptRule.message);

  const std::vector<NumberFieldProblem> missing = CheckNumberFields({"", "60", ""});
  ASSERT_EQ(missing.size(), 3u);
  EXPECT_STREQ(missing[0].message, kEnterHour);
  EXPECT_STREQ(missing[1].message, kMinuteRule.message);
  EXPECT_STREQ(missing[2].message, kEnterDays);

  // Pasted text with a blank or a line end, and numbers past an int.
  for (const char* pasted : {"12 ", " 12", "12\n", "99999999999", "121", "douze"}) {
    const std::vector<NumberFieldProblem> one = CheckNumberFields({"8", "0", pasted});
    ASSERT_EQ(one.size(), 1u) << pasted;
    EXPECT_EQ(one[0].field, NumberFieldId::kDaysKept) << pasted;
  }
}

}  // namespace
}  // namespace varnoket
