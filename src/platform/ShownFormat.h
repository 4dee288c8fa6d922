// How numbers, sizes and dates are written for a person to read, in the
// conventions of the language the program shows. The plain code never asks
// the desktop: the program installs the conventions at start, beside the
// translator, and without them everything is written the French way.
// Values inside a text on its way to a log or a settings file use the
// logged style or the fixed day format, never the shown conventions: other
// copies of the program read those texts.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace varnoket {

struct ShownConventions {
  std::string decimalPoint = ",";
  std::string thousandsSeparator = " ";
  // Bytes, then steps of 1024.
  std::array<std::string, 6> byteUnits = {"o", "Ko", "Mo", "Go", "To", "Po"};
};

// The conventions of the program's French texts, and of its English ones.
ShownConventions FrenchConventions();
ShownConventions EnglishConventions();

// A date, with its time of day when `withTime`, in the locale's short form.
using ShownDateFormatter = std::string (*)(const LocalDateTime& t, bool withTime);

// Installs the conventions and the date formatter (null: "dd/mm/yyyy" and
// "dd/mm/yyyy hh:mm:ss").
void SetShownConventions(ShownConventions conventions, ShownDateFormatter dates = nullptr);
const ShownConventions& CurrentShownConventions();

enum class SizeStyle {
  // The largest unit that leaves at least 1, one decimal below 100:
  // "0 o", "1023 o", "1,5 Ko", "117 Mo" ("1.5 KB" in English).
  kShort,
  // Every byte, thousands apart: "1 234 567 o" ("1,234,567 B").
  kExact,
  // For a text that is also logged: always French, whatever is installed,
  // one decimal from 1 Ko on: "12 octets", "1,5 Ko", "117,0 Mo".
  kLogged,
};

// `bytes` written in `style`; a negative count (a size not known) keeps its
// sign in the exact style and counts as 0 in the others.
std::string ByteSizeText(int64_t bytes, SizeStyle style);

// "dd/mm/yyyy hh:mm:ss" whatever is installed: the form of the logs, the
// lists of files, and of varnoket-cli, whose days are also typed back as
// arguments.
std::string DayFirstDateTime(const LocalDateTime& t);

// A date shown on screen; "dd/mm/yyyy" when no formatter is installed.
std::string ShownDate(const LocalDateTime& t);
// A date and time shown on screen; "dd/mm/yyyy hh:mm:ss" when none is.
std::string ShownDateTime(const LocalDateTime& t);

}  // namespace varnoket
