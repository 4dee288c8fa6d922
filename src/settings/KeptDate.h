// The reading of the dates kept as text in settings files (dd/mm/yyyy),
// such as the date of the last backup.
#pragma once

#include <optional>
#include <string>

#include "platform/Day.h"

namespace varnoket {

// The day a kept day/month/year text names, read leniently as such dates
// always were ("5/3/2004", blanks and a '+' around the numbers); nullopt
// when it is not a date from 1900 to 2078.
std::optional<Day> ParseKeptDate(const std::string& text);

}  // namespace varnoket
