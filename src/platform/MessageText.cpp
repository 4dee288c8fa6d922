#include "platform/MessageText.h"

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

}  // namespace varnoket
