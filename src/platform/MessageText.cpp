#include "platform/MessageText.h"

#include <cstdio>

namespace varnoket {

std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string out;
  out.reserve(pattern.size());
  auto value = values.begin();
  size_t from = 0;
  while (value != values.end()) {
    const size_t hole = pattern.find("%s", from);
    if (hole == std::string_view::npos) break;
    out.append(pattern.substr(from, hole - from));
    out.append(*value++);
    from = hole + 2;
  }
  out.append(pattern.substr(from));
  return out;
}

std::string ShownText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\r') {
      shown += "\\r";
    } else if (c == '\n') {
      shown += "\\n";
    } else if (b < 0x20 || b == 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", b);
      shown += hex;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace varnoket
