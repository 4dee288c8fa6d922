#include "engine/Wildcard.h"

#include <cstddef>
#include <optional>

#include "platform/AsciiText.h"

namespace varnoket {

namespace {

// The outcome of matching one byte against the pattern element at `pos`.
enum class Step { kMatch, kNoMatch, kMalformed };

// Matches the set that opens at pattern[pos] == '[' against `c`; on success
// `next` is the index just past the closing ']'.
Step MatchSet(std::string_view pattern, size_t pos, unsigned char c, size_t& next) {
  size_t i = pos + 1;
  if (i >= pattern.size() || pattern[i] == '[' || pattern[i] == ']') return Step::kMalformed;
  bool negate = false;
  if (pattern[i] == '^') {
    negate = true;
    ++i;
  }
  bool found = false;
  while (i < pattern.size() && pattern[i] != ']') {
    const auto low = static_cast<unsigned char>(pattern[i]);
    auto high = low;
    // "x-y" is a range unless the '-' is the last member of the set.
    if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
      high = static_cast<unsigned char>(pattern[i + 2]);
      i += 3;
    } else {
      ++i;
    }
    if (c >= low && c <= high) found = true;
  }
  if (i >= pattern.size()) return Step::kMalformed;
  next = i + 1;
  return found != negate ? Step::kMatch : Step::kNoMatch;
}

// Matches one name byte against the single-byte element (literal, '?' or set)
// at `pos`, setting `next` past it.
Step MatchOne(std::string_view pattern, size_t pos, unsigned char c, size_t& next) {
  switch (pattern[pos]) {
    case '?':
      next = pos + 1;
      return Step::kMatch;
    case '[':
      return MatchSet(pattern, pos, c, next);
    default:
      next = pos + 1;
      return static_cast<unsigned char>(pattern[pos]) == c ? Step::kMatch : Step::kNoMatch;
  }
}

}  // namespace

// Every element other than '*' consumes exactly one byte, so remembering only
// the latest '*' and retrying one byte further on each mismatch finds a match
// whenever one exists, in time bounded by name length times pattern length
// (plain recursion would be exponential in the number of stars).
bool MatchWildcard(std::string_view name, std::string_view pattern) {
  size_t p = 0;
  size_t n = 0;
  std::optional<size_t> starPattern;  // index just past the latest '*'
  size_t starName = 0;                // the name index that '*' was last tried at
  while (true) {
    if (p < pattern.size() && pattern[p] == '*') {
      if (p + 1 == pattern.size()) return true;
      starPattern = p + 1;
      starName = n;
      ++p;
      continue;
    }
    if (p == pattern.size() && n == name.size()) return true;
    Step step = Step::kNoMatch;
    size_t next = p;
    if (p < pattern.size() && n < name.size()) {
      step = MatchOne(pattern, p, static_cast<unsigned char>(name[n]), next);
    }
    // No match can pass a malformed set, so there is nothing to retry.
    if (step == Step::kMalformed) return false;
    if (step == Step::kMatch) {
      p = next;
      ++n;
      continue;
    }
    if (!starPattern || starName >= name.size()) return false;
    ++starName;
    p = *starPattern;
    n = starName;
  }
}

bool IsIncluded(const DirEntry& entry, const std::vector<std::string>& filters) {
  return !entry.isDirectory && !ExcludingFilter(entry, filters);
}

std::optional<size_t> ExcludingFilter(const DirEntry& entry,
                                      const std::vector<std::string>& filters) {
  const std::string name = UpperAscii(entry.name);
  for (size_t i = 0; i < filters.size(); ++i) {
    if (MatchWildcard(name, UpperAscii(TrimBlanks(filters[i])))) return i;
  }
  return std::nullopt;
}

}  // namespace varnoket
