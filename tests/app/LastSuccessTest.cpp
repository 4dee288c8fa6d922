// The last success as people read it, and its age in calendar days across
// months, leap years, years, and a clock set back.
#include <gtest/gtest.h>

#include "app/LastSuccess.h"
#include "platform/ShownFormat.h"
#include "settings/KeptDate.h"
#include "support/KeptDay.h"

namespace varnoket::test {
namespace {

LocalDateTime On(int year, int month, int day, int hour = 12) {
  return {year, month, day, hour, 0, 0, 0};
}

TEST(LastSuccess, TodayYesterdayAndDaysAgo) {
  EXPECT_EQ(LastSuccessText(KeptDay("08/12/2026"), On(2026, 12, 8, 0)),
            "Dernière sauvegarde réussie : 08/12/2026 (aujourd'hui)");
  EXPECT_EQ(LastSuccessText(KeptDay("08/12/2026"), On(2026, 12, 9, 23)),
            "Dernière sauvegarde réussie : 08/12/2026 (il y a 1 jour)");
  EXPECT_EQ(LastSuccessText(KeptDay("08/12/2026"), On(2026, 12, 20)),
            "Dernière sauvegarde réussie : 08/12/2026 (il y a 12 jours)");
  // The stored date may lack its leading zeros; it is shown in full.
  EXPECT_EQ(LastSuccessText(ParseKeptDate("8/1/2026"), On(2026, 1, 10)),
            "Dernière sauvegarde réussie : 08/01/2026 (il y a 2 jours)");
}

std::string MonthFirst(const LocalDateTime& t, bool) {
  return std::to_string(t.month) + "/" + std::to_string(t.day) + "/" + std::to_string(t.year);
}

TEST(LastSuccess, TheDateTakesTheLocalesForm) {
  SetShownConventions(FrenchConventions(), &MonthFirst);
  const std::string text = LastSuccessText(KeptDay("8/1/2026"), On(2026, 1, 10));
  SetShownConventions(FrenchConventions());
  EXPECT_EQ(text, "Dernière sauvegarde réussie : 1/8/2026 (il y a 2 jours)");
}

TEST(LastSuccess, AgeCountsCalendarDaysOverMonthsLeapYearsAndYears) {
  EXPECT_EQ(DaysSinceLastSuccess(KeptDay("28/02/2024"), On(2024, 3, 1)), 2);  // 29 February exists
  EXPECT_EQ(DaysSinceLastSuccess(KeptDay("28/02/2026"), On(2026, 3, 1)), 1);
  EXPECT_EQ(DaysSinceLastSuccess(KeptDay("31/12/2026"), On(2027, 1, 1)), 1);
  EXPECT_EQ(DaysSinceLastSuccess(KeptDay("01/01/2026"), On(2027, 1, 1)), 365);
  EXPECT_EQ(DaysSinceLastSuccess(KeptDay("01/03/2000"), On(2001, 3, 1)), 365);
  EXPECT_EQ(DaysSinceLastSuccess(KeptDay("01/03/1999"), On(2000, 3, 1)),
            366);  // 2000 is a leap year
  EXPECT_EQ(DaysSinceLastSuccess(KeptDay("01/03/1900"), On(1901, 3, 1)), 365);  // 1900 is not
}

TEST(LastSuccess, AClockSetBackShowsTheFutureWithoutANegativeAge) {
  EXPECT_EQ(DaysSinceLastSuccess(KeptDay("10/12/2026"), On(2026, 12, 8)), -2);
  EXPECT_EQ(LastSuccessText(KeptDay("10/12/2026"), On(2026, 12, 8)),
            "Dernière sauvegarde réussie : 10/12/2026 (dans le futur)");
}

TEST(LastSuccess, NoDateOrTheNewStationDateMeansNoSuccessYet) {
  for (const char* date : {"31/12/2002", "", "jamais", "32/01/2026", "29/02/2026"}) {
    EXPECT_FALSE(DaysSinceLastSuccess(ParseKeptDate(date), On(2026, 12, 8)).has_value()) << date;
    EXPECT_EQ(LastSuccessText(ParseKeptDate(date), On(2026, 12, 8)), kNoSuccessText) << date;
  }
}

TEST(LastSuccess, TheLongestTextFitsTheTrayHint) {
  // The hint keeps 63 characters; a four-digit age still fits whole.
  const std::string text = LastSuccessText(KeptDay("01/01/2000"), On(2026, 12, 8));
  EXPECT_EQ(text, "Dernière sauvegarde réussie : 01/01/2000 (il y a 9838 jours)");
  size_t chars = 0;
  for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
  EXPECT_LE(chars, 63u);
}

}  // namespace
}  // namespace varnoket::test
