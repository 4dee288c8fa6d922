// When a scheduled run may start besides its hour: not on a battery whose
// charge is below the configured level (a run can last long and drain it),
// and, after the machine wakes, only once the desktop has settled (the disks,
// the network and the person's own work come back first). "Sauvegarder
// Maintenant" is the person's own choice and ignores both.
#pragma once

#include <optional>
#include <string>

#include "desktop/PowerSource.h"
#include "platform/Clock.h"
#include "platform/Day.h"
#include "platform/Translation.h"

namespace varnoket {

// The wait's text: the charge and the level it must reach, each "N %".
inline constexpr const char* kOnBatteryPattern =
    VK_TR_NOOP("Messages", "Sauvegarde reportée : sur batterie (%s, moins de %s)");

// Why a scheduled run must wait for the charger: the text for the log and
// the status (short enough for the tray's tooltip), or empty when it may
// start. `minimumPercent` 0 never waits; a battery that gives no charge
// level is trusted.
std::optional<std::string> BatteryRefusal(const PowerState& power, int minimumPercent);

// After the machine woke at `now`: in how many milliseconds the day's run
// starts, counting from the last successful run's date (`lastBackupDate`)
// whether one is due at all; empty when none is.
std::optional<int> RunDelayAfterWake(const LocalDateTime& now,
                                     const std::optional<Day>& lastBackupDate, int preferredHour,
                                     int preferredMinute, int delayMinutes);

}  // namespace varnoket
