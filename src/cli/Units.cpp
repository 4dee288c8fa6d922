#include "cli/Units.h"

#include <cstdio>

namespace varnoket {

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
