// A calendar day, the one way the program counts, compares, checks and
// writes days: the store's day folders ("07032006"), the dates of its
// settings and log ("07/03/2006"), the age of the latest backup and the
// days between two update checks all go through it.
#pragma once

#include <string>

#include "platform/Clock.h"

namespace varnoket {

struct Day {
  int day = 0;
  int month = 0;
  int year = 0;
  friend bool operator==(const Day&, const Day&) = default;
};

// The day `t` falls on, and the start of a day, to be shown.
Day DayOf(const LocalDateTime& t);
LocalDateTime StartOf(const Day& d);

// 28 to 31, leap years as the Gregorian calendar has them; `month` 1 to 12.
int DaysInMonth(int year, int month);

// "07032006" for 7 March 2006.
std::string DayFolderName(const Day& d);
// "07/03/2006".
std::string DayText(const Day& d);
// The day a "dd/mm/yyyy" text names (years 1 to 9999; the leading zeros may
// be left out, nothing else may stand around the numbers); false when it is
// no valid date, `out` then unchanged.
bool ParseDayText(const std::string& text, Day& out);
// The day a day folder's name ("07032006", eight digits) names; false, `out`
// unchanged, when it names none.
bool ParseDayFolderName(const std::string& name, Day& out);

// Whole days since 1 January 1970 (proleptic Gregorian calendar, negative
// before): two days subtract to the number of days between them.
long DayNumber(const Day& d);
Day DayFromNumber(long n);

}  // namespace varnoket
