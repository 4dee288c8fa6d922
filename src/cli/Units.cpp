#include "cli/Units.h"

#include <cstdio>

namespace varnoket {

std::string HumanBytes(int64_t bytes) {
  static constexpr const char* kUnits[] = {"o", "Ko", "Mo", "Go", "To", "Po"};
  if (bytes < 1024) return std::to_string(bytes < 0 ? 0 : bytes) + " o";
  double value = static_cast<double>(bytes);
  size_t unit = 0;
  // A value that would print as 1024 goes up a unit: "1,0 Mo", not "1024 Ko".
  while (value >= 1023.5 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  if (value < 99.95) {
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    for (char* c = text; *c != '\0'; ++c) {
      if (*c == '.') *c = ',';
    }
  } else {
    std::snprintf(text, sizeof text, "%.0f %s", value, kUnits[unit]);
  }
  return text;
}

std::string HumanDuration(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  char text[48];
  if (seconds < 60) {
    std::snprintf(text, sizeof text, "%lld s", static_cast<long long>(seconds));
  } else if (seconds < 3600) {
    std::snprintf(text, sizeof text, "%lld min %02lld s", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld h %02lld min", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60));
  }
  return text;
}

}  // namespace varnoket
