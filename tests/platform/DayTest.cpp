// The program's one calendar: day numbers, month lengths and the day texts,
// checked against the standard library's calendar over eight centuries.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/Day.h"

namespace varnoket {
namespace {

using namespace std::chrono;

TEST(Day, NumbersAndMonthLengthsMatchTheStandardCalendarFrom1601To2400) {
  const sys_days first{year{1601} / January / 1};
  const sys_days last{year{2400} / December / 31};
  long previous = DayNumber(Day{31, 12, 1600});
  for (sys_days d = first; d <= last; d += days{1}) {
    const year_month_day ymd{d};
    const Day day{static_cast<int>(static_cast<unsigned>(ymd.day())),
                  static_cast<int>(static_cast<unsigned>(ymd.month())),
                  static_cast<int>(ymd.year())};
    const long n = DayNumber(day);
    ASSERT_EQ(n, d.time_since_epoch().count()) << DayText(day);
    ASSERT_EQ(n, previous + 1) << DayText(day);
    ASSERT_EQ(DayFromNumber(n), day) << n;
    previous = n;
    if (day.day == 1) {
      const year_month_day_last end{ymd.year() / month_day_last{ymd.month()}};
      ASSERT_EQ(DaysInMonth(day.year, day.month), static_cast<int>(unsigned(end.day())))
          << DayText(day);
    }
  }
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2100, 2), 28);
}

TEST(Day, TextsAndFolderNamesAreReadOnlyWhenTheyNameARealDay) {
  Day day{1, 1, 2000};
  EXPECT_TRUE(ParseDayText("07/03/2006", day));
  EXPECT_EQ(day, (Day{7, 3, 2006}));
  EXPECT_EQ(DayText(day), "07/03/2006");
  EXPECT_EQ(DayFolderName(day), "07032006");
  EXPECT_TRUE(ParseDayText("29/2/2024", day));
  EXPECT_EQ(day, (Day{29, 2, 2024}));

  EXPECT_TRUE(ParseDayFolderName("29022024", day));
  EXPECT_EQ(day, (Day{29, 2, 2024}));
  for (const char* name : {"29022023", "2902202", "290220241", "2902 024", "-1022024", "00000000"})
    EXPECT_FALSE(ParseDayFolderName(name, day)) << name;

  const Day kept = day;
  for (const char* text : {"29/02/2023", "31/04/2024", "00/01/2024", "01/13/2024", "01/00/2024",
                           "07/03/2006x", "07/03", "", "07-03-2006", "01/01/10000", "01/01/0",
                           " 7/03/2006", "+7/03/2006", "07/ 3/2006", "07/03/2006/1"}) {
    EXPECT_FALSE(ParseDayText(text, day)) << text;
    EXPECT_EQ(day, kept) << text;
  }
}

}  // namespace
}  // namespace varnoket
