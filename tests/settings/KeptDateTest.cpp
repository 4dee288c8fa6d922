#include <gtest/gtest.h>

#include <string>

#include "settings/KeptDate.h"

namespace varnoket {
namespace {

// The day read, in its written form.
std::string Normalized(const std::string& text) {
  const std::optional<Day> day = ParseKeptDate(text);
  EXPECT_TRUE(day.has_value()) << text;
  return day ? DayText(*day) : std::string();
}

TEST(KeptDateTest, ValidDatesTakeTheirTwoTwoFourDigitForm) {
  EXPECT_EQ(Normalized("5/3/2004"), "05/03/2004");
  EXPECT_EQ(Normalized(" 5 / 03 /2004 "), "05/03/2004");
  EXPECT_EQ(Normalized("29/02/2000"), "29/02/2000");
  EXPECT_EQ(Normalized("29/2/2004"), "29/02/2004");
  EXPECT_EQ(Normalized("1/1/1900"), "01/01/1900");
  EXPECT_EQ(Normalized("31/12/2078"), "31/12/2078");
  // Parts beyond the third are not read.
  EXPECT_EQ(Normalized("1/2/2003/garbage"), "01/02/2003");
  // The fields hold 16 bits: 67514 is 1978 once wrapped.
  EXPECT_EQ(Normalized("1/1/67514"), "01/01/1978");
}

TEST(KeptDateTest, InvalidDatesAreNoDay) {
  for (const char* bad : {"29/02/1900", "31/04/2004", "01/01/2079", "2004-03-05", "29/02/2003",
                          "0/1/2000", "1/13/2000", "31/12/1899", "", "1/2", "a/b/c", "1//2000"}) {
    EXPECT_FALSE(ParseKeptDate(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace varnoket
