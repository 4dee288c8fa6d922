// The check and normal form of the dates kept as text (dd/mm/yyyy), such as
// the date of the last backup.
#pragma once

#include <string>

namespace varnoket {

// Validates a day/month/year text and rewrites it as dd/mm/yyyy. Leaves it
// unchanged and returns false when it is not a date from 1900 to 2078.
bool NormalizeDate(std::string& text);

}  // namespace varnoket
