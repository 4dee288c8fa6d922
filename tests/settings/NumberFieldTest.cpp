#include <gtest/gtest.h>

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

}  // namespace
}  // namespace varnoket
