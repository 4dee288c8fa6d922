// When the last backup succeeded, as the tray hint and the main window's
// title say it: "Dernière sauvegarde réussie : 08/12/2026 (il y a 3 jours)".
// The date is the station's LASTBACKUP, shown in the locale's
// short form (platform/ShownFormat.h); the age is counted in calendar days of
// the local clock.
//
// A clock set back so that the last success lies after today gives no
// negative age: the text says "(dans le futur)" and the age counts as 0, so
// such a date never raises the too-old warning (the run itself refuses to
// write before a later day and says so).
#pragma once

#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/Day.h"
#include "platform/Translation.h"

namespace varnoket {

inline constexpr const char* kLastSuccessPrefix = "Dernière sauvegarde réussie : ";
// The station file's date before any backup, or an unreadable one.
inline constexpr const char* kNoSuccessText =
    VK_TR_NOOP("Messages", "Aucune sauvegarde réussie pour l'instant");

// Whole calendar days from `lastBackupDate` to `now`'s day: 0 for today,
// negative when the date is after today; empty when there is none or it is
// the date of a station that has never been backed up (kNoBackupDay).
std::optional<int> DaysSinceLastSuccess(const std::optional<Day>& lastBackupDate,
                                        const LocalDateTime& now);

// The sentence shown in the tray hint and the window title.
std::string LastSuccessText(const std::optional<Day>& lastBackupDate, const LocalDateTime& now);

}  // namespace varnoket
