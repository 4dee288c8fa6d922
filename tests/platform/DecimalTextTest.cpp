// Numbers in outside text: a field is a number of its type exactly, or none.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/DecimalText.h"

namespace varnoket {
namespace {

TEST(DecimalText, AFieldIsANumberOfItsTypeExactlyOrNone) {
  EXPECT_EQ(ParseDecimal<int32_t>("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseDecimal<uint32_t>("4294967295"), UINT32_MAX);
  EXPECT_EQ(ParseDecimal<uint64_t>("0"), 0u);
  EXPECT_EQ(ParseDecimal<int64_t>("007"), 7);
  for (const char* text : {"", "+1", " 1", "1 ", "1x", "0x10", "-", "1.5", "1e3"}) {
    EXPECT_EQ(ParseDecimal<int64_t>(text), std::nullopt) << text;
  }
  EXPECT_EQ(ParseDecimal<uint32_t>("-1"), std::nullopt);
  EXPECT_EQ(ParseDecimal<uint32_t>("4294967296"), std::nullopt);
  EXPECT_EQ(ParseDecimal<int32_t>("2147483648"), std::nullopt);

  uint64_t value = 42;
  EXPECT_FALSE(ParseDecimal("12a", value));
  EXPECT_EQ(value, 42u);
  EXPECT_TRUE(ParseDecimal("18446744073709551615", value));
  EXPECT_EQ(value, UINT64_MAX);
}

}  // namespace
}  // namespace varnoket
