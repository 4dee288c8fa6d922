#include "platform/ShownFormat.h"

#include <cstdio>
#include <utility>

namespace varnoket {

namespace {

ShownConventions g_conventions;
ShownDateFormatter g_dates = nullptr;

// `value` with the decimal point of `conventions`, at `decimals` places.
std::string Decimal(double value, int decimals, const ShownConventions& conventions) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string out(text);
  if (const size_t dot = out.find('.'); dot != std::string::npos)
    out.replace(dot, 1, conventions.decimalPoint);
  return out;
}

std::string Grouped(uint64_t value, const std::string& separator) {
  std::string digits = std::to_string(value);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, separator);
  return digits;
}

std::string ShortSize(uint64_t bytes, const ShownConventions& conventions) {
  const auto& units = conventions.byteUnits;
  if (bytes < 1024) return std::to_string(bytes) + " " + units[0];
  double value = static_cast<double>(bytes);
  size_t unit = 0;
  // A value that would print as 1024 goes up a unit: "1,0 Mo", not "1024 Ko".
  while (value >= 1023.5 && unit + 1 < units.size()) {
    value /= 1024;
    ++unit;
  }
  return Decimal(value, value < 99.95 ? 1 : 0, conventions) + " " + units[unit];
}

std::string LoggedSize(uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " octets";
  static constexpr const char* kUnits[] = {"Ko", "Mo", "Go", "To"};
  double value = static_cast<double>(bytes) / 1024.0;
  size_t unit = 0;
  while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
    value /= 1024.0;
    ++unit;
  }
  return Decimal(value, 1, FrenchConventions()) + " " + kUnits[unit];
}

std::string FixedDate(const LocalDateTime& t, bool withTime) {
  char text[40];
  if (withTime) {
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year,
                  t.hour, t.minute, t.second);
  } else {
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", t.day, t.month, t.year);
  }
  return text;
}

}  // namespace

ShownConventions FrenchConventions() {
  return ShownConventions{};
}

ShownConventions EnglishConventions() {
  return ShownConventions{".", ",", {"B", "KB", "MB", "GB", "TB", "PB"}};
}

void SetShownConventions(ShownConventions conventions, ShownDateFormatter dates) {
  g_conventions = std::move(conventions);
  g_dates = dates;
}

const ShownConventions& CurrentShownConventions() {
  return g_conventions;
}

std::string ByteSizeText(int64_t bytes, SizeStyle style) {
  const uint64_t count = bytes < 0 ? 0 : static_cast<uint64_t>(bytes);
  switch (style) {
    case SizeStyle::kShort:
      return ShortSize(count, g_conventions);
    case SizeStyle::kExact: {
      const uint64_t magnitude =
          bytes < 0 ? static_cast<uint64_t>(-(bytes + 1)) + 1 : static_cast<uint64_t>(bytes);
      return (bytes < 0 ? "-" : "") + Grouped(magnitude, g_conventions.thousandsSeparator) + " " +
             g_conventions.byteUnits[0];
    }
    case SizeStyle::kLogged:
      return LoggedSize(count);
  }
  return std::to_string(bytes);
}

std::string DayFirstDateTime(const LocalDateTime& t) {
  return FixedDate(t, true);
}

std::string ShownDate(const LocalDateTime& t) {
  return g_dates != nullptr ? g_dates(t, false) : FixedDate(t, false);
}

std::string ShownDateTime(const LocalDateTime& t) {
  return g_dates != nullptr ? g_dates(t, true) : FixedDate(t, true);
}

}  // namespace varnoket
