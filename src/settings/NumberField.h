// The checks the configuration dialog runs on its three number fields while
// the user types: each field accepts a whole number within its own range.
#pragma once

#include <string_view>

#include "settings/SettingsKeys.h"

namespace varnoket {

struct NumberFieldRule {
  int low;
  int high;
  const char* message;  // shown when the text is refused
};

// The ranges are the keys' own; each message names its key's range.
// The days kept accept 1 while typing so that 10 to 19 and 100 to 120 can be
// typed; validation raises a final 1 to the key's floor.
inline constexpr NumberFieldRule kDaysKeptRule{
    1, kDaysKeptKey.high, "Le nombre de jours de sauvegardes doit être un nombre entre 2 et 120 !"};
inline constexpr NumberFieldRule kHourRule{
    kPreferredHourKey.low, kPreferredHourKey.high,
    "L'heure préférée de sauvegarde doit être un nombre entre 0 et 23 !"};
inline constexpr NumberFieldRule kMinuteRule{
    kPreferredMinuteKey.low, kPreferredMinuteKey.high,
    "La minute préférée de sauvegarde doit être un nombre entre 0 et 59 !"};

// The text read as a decimal whole number (an optional sign, then digits);
// false for anything else, including a number too large for an int.
bool ParseWholeNumber(std::string_view text, int& value);

// True when the field may keep this text: empty (nothing to check yet) or a
// whole number within the rule's range.
bool NumberFieldAccepts(const NumberFieldRule& rule, std::string_view text);

}  // namespace varnoket
