// The check and normal form of the dates kept as text (dd/mm/yyyy), such as
// the date of the last backup.
#pragma once

#include <optional>
#include <string>

#include "platform/Day.h"

namespace varnoket {

// The day a kept day/month/year text names, read leniently as such dates
// always were ("5/3/2004", blanks and a '+' around the numbers); nullopt
// when it is not a date from 1900 to 2078.
std::optional<Day> ParseKeptDate(const std::string& text);

// Validates a day/month/year text and rewrites it as dd/mm/yyyy. Leaves it
// unchanged and returns false when it is not a date from 1900 to 2078.
bool NormalizeDate(std::string& text);

}  // namespace varnoket
