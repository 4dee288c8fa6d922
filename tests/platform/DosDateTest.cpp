#include <gtest/gtest.h>

#include <ctime>

#include "platform/DosDate.h"

namespace varnoket {
namespace {

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

TEST(DosDateTest, PacksFieldsInTheirBits) {
  const int32_t packed = PackDosDate({2004, 3, 5, 13, 45, 58, 0});
  EXPECT_EQ(static_cast<uint32_t>(packed),
            (24u << 25) | (3u << 21) | (5u << 16) | (13u << 11) | (45u << 5) | 29u);
  const LocalDateTime back = UnpackDosDate(packed);
  EXPECT_EQ(back.year, 2004);
  EXPECT_EQ(back.month, 3);
  EXPECT_EQ(back.day, 5);
  EXPECT_EQ(back.hour, 13);
  EXPECT_EQ(back.minute, 45);
  EXPECT_EQ(back.second, 58);
}

TEST(DosDateTest, OddSecondsRoundDown) {
  EXPECT_EQ(UnpackDosDate(PackDosDate({2010, 6, 1, 12, 0, 59, 0})).second, 58);
  const std::time_t odd = LocalTime(2010, 6, 1, 12, 0, 59);
  EXPECT_EQ(TimeFromDosDate(DosDateFromTime(odd)), odd - 1);
  const std::time_t even = LocalTime(2010, 1, 15, 8, 30, 42);
  EXPECT_EQ(TimeFromDosDate(DosDateFromTime(even)), even);
}

TEST(DosDateTest, DatesOutsideTheFormAreClamped) {
  const LocalDateTime early = UnpackDosDate(PackDosDate({1975, 7, 14, 10, 20, 30, 0}));
  EXPECT_EQ(early.year, 1980);
  EXPECT_EQ(early.month, 1);
  EXPECT_EQ(early.day, 1);
  EXPECT_EQ(early.hour, 0);
  EXPECT_EQ(DosDateFromTime(LocalTime(1979, 12, 31, 23, 0, 0)), PackDosDate({1980, 1, 1}));

  // 2107 fills the top bit of the word.
  const LocalDateTime late = UnpackDosDate(PackDosDate({2200, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(late.year, 2107);
  EXPECT_EQ(late.month, 12);
  EXPECT_EQ(late.day, 31);
  EXPECT_EQ(late.hour, 23);
  EXPECT_EQ(late.minute, 59);
  EXPECT_EQ(late.second, 58);
}

TEST(DosDateTest, WordsWithoutADateConvertToMinusOne) {
  EXPECT_EQ(TimeFromDosDate(0), -1);
  EXPECT_EQ(TimeFromDosDate(PackDosDate({2003, 2, 29, 0, 0, 0, 0})), -1);
  EXPECT_EQ(TimeFromDosDate(PackDosDate({2004, 1, 1, 24, 0, 0, 0})), -1);
  EXPECT_NE(TimeFromDosDate(PackDosDate({2004, 2, 29, 0, 0, 0, 0})), -1);
}

}  // namespace
}  // namespace varnoket
