// Small text helpers: blanks trimmed the way the settings expect, and the one
// case fold of the program, of ASCII letters only, whatever the locale
// (names, keys, filters, paths, headers; UTF-8 bytes beyond ASCII are kept
// and compared as they are).
#pragma once

#include <string>
#include <string_view>

namespace varnoket {

constexpr char ToUpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

constexpr char ToLowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// The ASCII letters of `text` from `from` on in upper case, in place; every
// other byte as it is, whatever the locale.
inline void UpperAsciiInPlace(std::string& text, size_t from = 0) {
  for (size_t i = from; i < text.size(); ++i) text[i] = ToUpperAscii(text[i]);
}

// `text` with its ASCII letters in upper, or lower, case.
inline std::string UpperAscii(std::string_view text) {
  std::string out(text);
  UpperAsciiInPlace(out);
  return out;
}

inline std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToLowerAscii(c);
  return out;
}

// Removes leading and trailing control characters and blanks (bytes up to
// and including the space).
inline std::string_view TrimBlanks(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) return false;
  }
  return true;
}

inline bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// <0, 0 or >0 like strcmp, ASCII letters folded to upper case.
inline int CompareIgnoreCase(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(ToUpperAscii(a[i]));
    const auto cb = static_cast<unsigned char>(ToUpperAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace varnoket
