#include "settings/KeptDate.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/AsciiText.h"
#include "platform/Day.h"
#include "platform/DecimalText.h"

namespace varnoket {
namespace {

// A whole number as the date fields take it: the value wraps to 16 bits, as
// the fields were always held.
bool ReadField(std::string_view text, uint16_t& field) {
  const std::optional<long long> value = ParseTypedDecimal<long long>(TrimBlanks(text));
  if (!value) return false;
  field = static_cast<uint16_t>(*value);
  return true;
}

}  // namespace

std::optional<Day> ParseKeptDate(const std::string& text) {
  std::vector<std::string_view> parts;
  std::string_view rest = text;
  for (;;) {
    const size_t slash = rest.find('/');
    parts.push_back(rest.substr(0, slash));
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  if (parts.size() < 3) return std::nullopt;
  uint16_t day = 0;
  uint16_t month = 0;
  uint16_t year = 0;
  if (!ReadField(parts[0], day) || !ReadField(parts[1], month) || !ReadField(parts[2], year)) {
    return std::nullopt;
  }
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1900 || year > 2078) {
    return std::nullopt;
  }
  if (day > DaysInMonth(year, month)) return std::nullopt;
  return Day{day, month, year};
}

}  // namespace varnoket
