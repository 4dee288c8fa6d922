// Days written as the store and the settings write them ("09/03/2026"), for
// the tests that set or expect a date the program keeps as a Day.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "platform/Day.h"

namespace varnoket {

// The day `text` names; nullopt when it names none.
inline std::optional<Day> KeptDay(const std::string& text) {
  Day day;
  if (!ParseDayText(text, day)) return std::nullopt;
  return day;
}

// A failed expectation shows the day as it is written.
inline void PrintTo(const Day& day, std::ostream* out) {
  *out << DayText(day);
}

}  // namespace varnoket
