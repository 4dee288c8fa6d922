#include "platform/Day.h"

#include <cstdio>
#include <string_view>

#include "platform/DecimalText.h"

namespace varnoket {

Day DayOf(const LocalDateTime& t) {
  return Day{t.day, t.month, t.year};
}

LocalDateTime StartOf(const Day& d) {
  LocalDateTime t;
  t.year = d.year;
  t.month = d.month;
  t.day = d.day;
  return t;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string DayFolderName(const Day& d) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2d%.2d%.4d", d.day, d.month, d.year);
  return text;
}

std::string DayText(const Day& d) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2d/%.2d/%.4d", d.day, d.month, d.year);
  return text;
}

bool ParseDayText(const std::string& text, Day& out) {
  const std::string_view all(text);
  const size_t first = all.find('/');
  const size_t second = first == std::string_view::npos ? first : all.find('/', first + 1);
  if (second == std::string_view::npos) return false;
  const auto d = ParseDecimal<int>(all.substr(0, first));
  const auto m = ParseDecimal<int>(all.substr(first + 1, second - first - 1));
  const auto y = ParseDecimal<int>(all.substr(second + 1));
  if (!d || !m || !y) return false;
  if (*y < 1 || *y > 9999 || *m < 1 || *m > 12 || *d < 1 || *d > DaysInMonth(*y, *m)) return false;
  out = {*d, *m, *y};
  return true;
}

bool ParseDayFolderName(const std::string& name, Day& out) {
  if (name.size() != 8 || name.find_first_not_of("0123456789") != std::string::npos) return false;
  return ParseDayText(name.substr(0, 2) + "/" + name.substr(2, 2) + "/" + name.substr(4), out);
}

long DayNumber(const Day& d) {
  // Days from a civil date, after H. Hinnant's algorithm: years counted
  // from March, so that the leap day ends the year.
  const long y = d.year - (d.month <= 2 ? 1 : 0);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long mp = (d.month + 9) % 12;
  const long doy = (153 * mp + 2) / 5 + d.day - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Day DayFromNumber(long z) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {day, month, year};
}

}  // namespace varnoket
