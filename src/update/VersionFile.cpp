#include "update/VersionFile.h"

#include <algorithm>

namespace varnoket {

std::vector<std::string> SplitVersionLines(std::string text) {
  const size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t brk = text.find_first_of("\r\n", start);
    if (brk == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, brk - start));
    start = brk + 1;
    if (text[brk] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string NormalizeVersion(std::string v) {
  const auto blank = [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7f;
  };
  const auto first = std::find_if_not(v.begin(), v.end(), blank);
  const auto last = std::find_if_not(v.rbegin(), v.rend(), blank).base();
  v = first < last ? std::string(first, last) : std::string();
  std::replace(v.begin(), v.end(), ',', '.');
  return v;
}

}  // namespace varnoket
