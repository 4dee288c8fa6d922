#include "settings/NumberField.h"

#include <charconv>

#include "settings/ConfigurationRules.h"

namespace varnoket {

bool ParseWholeNumber(std::string_view text, int& value) {
  // from_chars takes a minus sign but not a plus sign.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return false;
  }
  if (text.empty()) return false;
  int parsed = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, parsed, 10);
  if (ec != std::errc() || ptr != end) return false;
  value = parsed;
  return true;
}

bool NumberFieldAccepts(const NumberFieldRule& rule, std::string_view text) {
  if (text.empty()) return true;
  int value = 0;
  return ParseWholeNumber(text, value) && value >= rule.low && value <= rule.high;
}

std::vector<NumberFieldProblem> CheckNumberFields(const NumberFieldTexts& texts) {
  std::vector<NumberFieldProblem> problems;
  if (texts.hour.empty()) {
    problems.push_back({NumberFieldId::kHour, kEnterHour});
  } else if (!NumberFieldAccepts(kHourRule, texts.hour)) {
    problems.push_back({NumberFieldId::kHour, kHourRule.message});
  }
  if (!texts.minute.empty() && !NumberFieldAccepts(kMinuteRule, texts.minute)) {
    problems.push_back({NumberFieldId::kMinute, kMinuteRule.message});
  }
  if (texts.daysKept.empty()) {
    problems.push_back({NumberFieldId::kDaysKept, kEnterDays});
  } else if (!NumberFieldAccepts(kDaysKeptRule, texts.daysKept)) {
    problems.push_back({NumberFieldId::kDaysKept, kDaysKeptRule.message});
  }
  return problems;
}

}  // namespace varnoket
