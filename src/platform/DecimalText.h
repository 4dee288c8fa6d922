// Numbers read from text that comes from outside: the fields of a list, a
// journal or a state file on the store, a header of an update server, a
// settings file, a field of the window or an argument. A
// field is a number only when it is one exactly: digits, with a '-' first
// where the type has negatives; no '+', no blank, nothing before or after,
// and within the type's range.
#pragma once

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace varnoket {

template <typename Number>
std::optional<Number> ParseDecimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  Number value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// The same into `value`, left as it was when `text` is no such number.
template <typename Number>
bool ParseDecimal(std::string_view text, Number& value) {
  const std::optional<Number> parsed = ParseDecimal<Number>(text);
  if (parsed) value = *parsed;
  return parsed.has_value();
}

// A number as a person types it or a settings file keeps it: the same, but a
// '+' may stand first (not before a '-'). Blanks around are the caller's to
// trim.
template <typename Number>
std::optional<Number> ParseTypedDecimal(std::string_view text) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  return ParseDecimal<Number>(text);
}

}  // namespace varnoket
