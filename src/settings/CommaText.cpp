#include "settings/CommaText.h"

namespace varnoket {
namespace {

bool IsBlank(char c) {
  return c != '\0' && static_cast<unsigned char>(c) <= ' ';
}

bool NeedsQuotes(const std::string& item) {
  for (const char c : item) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') return true;
  }
  return false;
}

}  // namespace

std::string ToCommaText(const std::vector<std::string>& items) {
  // A lone empty item must still read back as one item.
  if (items.size() == 1 && items.front().empty()) return "\"\"";
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += ',';
    const std::string& item = items[i];
    if (!NeedsQuotes(item)) {
      text += item;
      continue;
    }
    text += '"';
    for (const char c : item) {
      if (c == '"') text += '"';
      text += c;
    }
    text += '"';
  }
  return text;
}

std::vector<std::string> FromCommaText(std::string_view text) {
  // The text ends at a NUL byte, as it always has.
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> items;
  size_t i = 0;
  const size_t n = text.size();
  auto skipBlanks = [&] {
    while (i < n && IsBlank(text[i])) ++i;
  };
  skipBlanks();
  while (i < n) {
    std::string item;
    if (text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      const size_t start = i;
      while (i < n && !IsBlank(text[i]) && text[i] != ',') ++i;
      item.assign(text.substr(start, i - start));
    }
    items.push_back(std::move(item));
    skipBlanks();
    if (i < n && text[i] == ',') {
      // A comma that ends the text still closes an (empty) item.
      if (i + 1 == n) items.emplace_back();
      ++i;
      skipBlanks();
    }
  }
  return items;
}

}  // namespace varnoket
