#include "restore/TextSearch.h"

#include <array>
#include <cstddef>

#include "platform/AsciiText.h"

namespace varnoket {

namespace {

// The UTF-8 lead byte of U+00C0..U+00FF; its continuation byte alone tells
// the case of those letters.
constexpr unsigned char kLatin1Lead = 0xC3;

// Upper-case form of each byte value taken on its own: the ASCII letters.
constexpr std::array<unsigned char, 256> MakeAsciiUpper() {
  std::array<unsigned char, 256> table{};
  for (size_t c = 0; c < table.size(); ++c) {
    table[c] = static_cast<unsigned char>(ToUpperAscii(static_cast<char>(c)));
  }
  return table;
}

constexpr std::array<unsigned char, 256> kAsciiUpper = MakeAsciiUpper();

// Upper-case form of the byte at `i` of `s`. A continuation byte A0..BE (but
// B7, the division sign) after the lead byte C3 is a small accented letter,
// folded onto its capital 0x20 below. Looking at the byte before `i` in the
// whole text, not just the compared window, keeps a match that starts right
// after a lead byte from folding a byte that is not a letter.
unsigned char FoldAt(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c >= 0xA0 && c <= 0xBE && c != 0xB7 && i > 0 &&
      static_cast<unsigned char>(s[i - 1]) == kLatin1Lead) {
    return static_cast<unsigned char>(c - 0x20);
  }
  return kAsciiUpper[c];
}

}  // namespace

int TextSearch::PosChar(char ch, std::string_view s, int start) const {
  if (start < 1) start = 1;
  for (size_t i = static_cast<size_t>(start) - 1; i < s.size(); ++i) {
    if (s[i] == ch) return static_cast<int>(i + 1);
  }
  return 0;
}

int TextSearch::PosText(std::string_view sub, std::string_view s, int start) const {
  if (sub.empty()) return 0;
  if (start < 1) start = 1;
  const auto from = static_cast<size_t>(start) - 1;
  if (from >= s.size() || s.size() - from < sub.size()) return 0;
  const unsigned char first = FoldAt(sub, 0);
  for (size_t i = from; i + sub.size() <= s.size(); ++i) {
    if (FoldAt(s, i) != first) continue;
    size_t k = 1;
    while (k < sub.size() && FoldAt(s, i + k) == FoldAt(sub, k)) ++k;
    if (k == sub.size()) return static_cast<int>(i + 1);
  }
  return 0;
}

const TextSearch& TextSearcher() {
  static const TextSearch instance;
  return instance;
}

}  // namespace varnoket
