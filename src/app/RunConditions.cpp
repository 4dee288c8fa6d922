#include "app/RunConditions.h"

#include <algorithm>
#include <cmath>

#include "engine/Scheduler.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

std::optional<std::string> BatteryRefusal(const PowerState& power, int minimumPercent) {
  if (!power.onBattery || minimumPercent <= 0 || !power.percentage) return std::nullopt;
  const double percent = std::clamp(*power.percentage, 0.0, 100.0);
  if (percent >= minimumPercent) return std::nullopt;
  return FillText(kOnBatteryPattern, {std::to_string(static_cast<int>(std::floor(percent))) + " %",
                                      std::to_string(minimumPercent) + " %"});
}

std::optional<int> RunDelayAfterWake(const LocalDateTime& now,
                                     const std::optional<Day>& lastBackupDate, int preferredHour,
                                     int preferredMinute, int delayMinutes) {
  if (!IsBackupDue(now, lastBackupDate, preferredHour, preferredMinute)) return std::nullopt;
  return std::max(delayMinutes, 0) * 60 * 1000;
}

}  // namespace varnoket
