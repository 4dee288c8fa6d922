#include <gtest/gtest.h>

#include <string>

#include "settings/NormalizeDate.h"

namespace varnoket {
namespace {

std::string Normalized(std::string text) {
  EXPECT_TRUE(NormalizeDate(text)) << text;
  return text;
}

void ExpectRefused(std::string text) {
  const std::string before = text;
  EXPECT_FALSE(NormalizeDate(text)) << before;
  EXPECT_EQ(text, before);
}

TEST(NormalizeDateTest, ValidDatesTakeTheirTwoTwoFourDigitForm) {
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

TEST(NormalizeDateTest, InvalidDatesStayAsTheyWere) {
  for (const char* bad : {"29/02/1900", "31/04/2004", "01/01/2079", "2004-03-05", "29/02/2003",
                          "0/1/2000", "1/13/2000", "31/12/1899", "", "1/2", "a/b/c", "1//2000"}) {
    ExpectRefused(bad);
  }
}

}  // namespace
}  // namespace varnoket
