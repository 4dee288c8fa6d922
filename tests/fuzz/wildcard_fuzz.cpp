// The exclusion-filter matcher on any pattern and name, against a plain
// table-filling matcher of the same rules: the matcher's one-star
// backtracking must find a match exactly when one exists. Also the filter
// test on the name in both cases of its letters.
//
// Input: the pattern up to the first line feed, the name after it (patterns
// come from one settings line, so they never hold one).
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "engine/Wildcard.h"
#include "platform/FileSystem.h"

namespace varnoket {
namespace {

// One element of a pattern: '*', or something that takes one byte.
struct Element {
  bool star = false;
  bool any = false;  // '?'
  bool negate = false;
  std::vector<std::pair<unsigned char, unsigned char>> ranges;  // a literal is a range of one

  bool Takes(unsigned char c) const {
    if (any) return true;
    bool in = false;
    for (const auto& [low, high] : ranges) in = in || (c >= low && c <= high);
    return in != negate;
  }
};

// The pattern cut into elements; false when it holds a malformed set (a set
// that starts with "[" or "]", or is never closed), which no name matches.
bool Elements(std::string_view pattern, std::vector<Element>& out) {
  size_t p = 0;
  while (p < pattern.size()) {
    Element e;
    const auto c = static_cast<unsigned char>(pattern[p]);
    if (c == '*' || c == '?') {
      e.star = c == '*';
      e.any = c == '?';
      ++p;
    } else if (c != '[') {
      e.ranges.emplace_back(c, c);
      ++p;
    } else {
      size_t i = p + 1;
      if (i >= pattern.size() || pattern[i] == '[' || pattern[i] == ']') return false;
      if (pattern[i] == '^') {
        e.negate = true;
        ++i;
      }
      while (i < pattern.size() && pattern[i] != ']') {
        const auto low = static_cast<unsigned char>(pattern[i]);
        // "x-y" is a range unless the '-' is the set's last member.
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
          e.ranges.emplace_back(low, static_cast<unsigned char>(pattern[i + 2]));
          i += 3;
        } else {
          e.ranges.emplace_back(low, low);
          ++i;
        }
      }
      if (i >= pattern.size()) return false;
      p = i + 1;
    }
    out.push_back(std::move(e));
  }
  return true;
}

// matches[i][j]: the elements from i on match the name from j on.
bool ReferenceMatch(std::string_view name, std::string_view pattern) {
  std::vector<Element> elements;
  if (!Elements(pattern, elements)) return false;
  const size_t n = name.size();
  std::vector<std::vector<char>> matches(elements.size() + 1, std::vector<char>(n + 1, 0));
  matches[elements.size()][n] = 1;
  for (size_t i = elements.size(); i-- > 0;) {
    for (size_t j = n + 1; j-- > 0;) {
      const Element& e = elements[i];
      if (e.star) {
        matches[i][j] = matches[i + 1][j] || (j < n && matches[i][j + 1]);
      } else {
        matches[i][j] =
            j < n && e.Takes(static_cast<unsigned char>(name[j])) && matches[i + 1][j + 1];
      }
    }
  }
  return matches[0][0] != 0;
}

std::string WithCase(std::string_view text, bool upper) {
  std::string out(text);
  for (char& c : out) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnoket;
  std::string_view name = fuzz::AsText(data, size);
  const std::string_view pattern = fuzz::TakeUntil(name, '\n');

  const bool matched = MatchWildcard(name, pattern);
  // The table costs name length times pattern length; long inputs only run.
  if (name.size() * pattern.size() <= (1u << 16)) {
    FUZZ_CHECK(matched == ReferenceMatch(name, pattern));
  }
  FUZZ_CHECK(MatchWildcard(name, "*"));
  FUZZ_CHECK(MatchWildcard(name, std::string(name.size(), '?')));

  // The filters ignore the case of ASCII letters, in the name as in the pattern.
  DirEntry entry;
  entry.isRegularFile = true;
  entry.name = WithCase(name, true);
  const std::vector<std::string> filters{std::string(pattern)};
  const bool upperIncluded = IsIncluded(entry, filters);
  entry.name = WithCase(name, false);
  FUZZ_CHECK(IsIncluded(entry, filters) == upperIncluded);
  FUZZ_CHECK(IsIncluded(entry, {WithCase(pattern, true)}) == upperIncluded);
  entry.isDirectory = true;
  FUZZ_CHECK(!IsIncluded(entry, filters));
  return 0;
}
