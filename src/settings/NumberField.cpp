#include "settings/NumberField.h"

#include <optional>

#include "platform/DecimalText.h"
#include "settings/ConfigurationRules.h"

namespace varnoket {

bool ParseWholeNumber(std::string_view text, int& value) {
  const std::optional<int> parsed = ParseTypedDecimal<int>(text);
  if (parsed) value = *parsed;
  return parsed.has_value();
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
