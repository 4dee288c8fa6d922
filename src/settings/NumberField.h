// The checks the configuration dialog runs on its three number fields while
// the user types: each field accepts a whole number within its own range.
#pragma once

#include <string_view>

namespace varnoket {

struct NumberFieldRule {
  int low;
  int high;
  const char* message;  // shown when the text is refused
};

// The days kept accept 1 while typing so that 10 to 19 and 100 to 120 can be
// typed; validation raises a final 1 to 2.
inline constexpr NumberFieldRule kDaysKeptRule{
    1, 120, "Le nombre de jours de sauvegardes doit être un nombre entre 2 et 120 !"};
inline constexpr NumberFieldRule kHourRule{
    0, 23, "L'heure préférée de sauvegarde doit être un nombre entre 0 et 23 !"};
inline constexpr NumberFieldRule kMinuteRule{
    0, 59, "La minute préférée de sauvegarde doit être un nombre entre 0 et 59 !"};

// The text read as a decimal whole number (an optional sign, then digits);
// false for anything else, including a number too large for an int.
bool ParseWholeNumber(std::string_view text, int& value);

// True when the field may keep this text: empty (nothing to check yet) or a
// whole number within the rule's range.
bool NumberFieldAccepts(const NumberFieldRule& rule, std::string_view text);

}  // namespace varnoket
