// The checks of the configuration dialog's three number fields, made when the
// person validates (and by `varnoket-cli config time` and `config days`):
// each field takes a whole number within its own range.
#pragma once

#include <string_view>
#include <vector>

#include "platform/Translation.h"
#include "settings/SettingsKeys.h"

namespace varnoket {

struct NumberFieldRule {
  int low;
  int high;
  const char* message;  // shown when the text is refused
};

// The ranges are the keys' own; each message names its key's range.
// The days kept take 1, which validation raises to the key's floor (2).
inline constexpr NumberFieldRule kDaysKeptRule{
    1, kDaysKeptKey.high,
    VK_TR_NOOP("Messages",
               "Le nombre de jours de sauvegardes doit être un nombre entre 2 et 120 !")};
inline constexpr NumberFieldRule kHourRule{
    kPreferredHourKey.low, kPreferredHourKey.high,
    VK_TR_NOOP("Messages", "L'heure préférée de sauvegarde doit être un nombre entre 0 et 23 !")};
inline constexpr NumberFieldRule kMinuteRule{
    kPreferredMinuteKey.low, kPreferredMinuteKey.high,
    VK_TR_NOOP("Messages", "La minute préférée de sauvegarde doit être un nombre entre 0 et 59 !")};

// The text read as a decimal whole number (an optional sign, then digits);
// false for anything else, including a number too large for an int.
bool ParseWholeNumber(std::string_view text, int& value);

// True when the field may keep this text: empty (nothing to check yet) or a
// whole number within the rule's range.
bool NumberFieldAccepts(const NumberFieldRule& rule, std::string_view text);

// The dialog's number fields, in the order validation checks them.
enum class NumberFieldId { kHour, kMinute, kDaysKept };

struct NumberFieldProblem {
  NumberFieldId field;
  const char* message;  // names the field and its range, or asks for a value
};

// The texts of the three fields as the person left them. The hour and the
// days kept must be given; an empty minute is taken as the key's default.
struct NumberFieldTexts {
  std::string_view hour;
  std::string_view minute;
  std::string_view daysKept;
};

// Every field that cannot be saved, in validation order; empty when all can.
std::vector<NumberFieldProblem> CheckNumberFields(const NumberFieldTexts& texts);

}  // namespace varnoket
