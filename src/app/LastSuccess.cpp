#include "app/LastSuccess.h"

#include "platform/Day.h"
#include "platform/MessageText.h"
#include "platform/ShownFormat.h"
#include "platform/Translation.h"
#include "settings/StationSettings.h"

namespace varnoket {

std::optional<int> DaysSinceLastSuccess(const std::optional<Day>& lastBackupDate,
                                        const LocalDateTime& now) {
  if (!lastBackupDate || *lastBackupDate == kNoBackupDay) return std::nullopt;
  return static_cast<int>(DayNumber(DayOf(now)) - DayNumber(*lastBackupDate));
}

std::string LastSuccessText(const std::optional<Day>& lastBackupDate, const LocalDateTime& now) {
  const std::optional<int> age = DaysSinceLastSuccess(lastBackupDate, now);
  if (!age) return kNoSuccessText;
  // Said on screen only, never logged: the date in the locale's form.
  const std::string date = ShownDate(StartOf(*lastBackupDate));
  // Each form whole, so the windows can show it in another language.
  if (*age < 0) {
    return FillText(VK_TR_NOOP("Messages", "Dernière sauvegarde réussie : %s (dans le futur)"),
                    {date});
  }
  if (*age == 0) {
    return FillText(VK_TR_NOOP("Messages", "Dernière sauvegarde réussie : %s (aujourd'hui)"),
                    {date});
  }
  return FillText(
      *age == 1 ? VK_TR_NOOP("Messages", "Dernière sauvegarde réussie : %s (il y a %s jour)")
                : VK_TR_NOOP("Messages", "Dernière sauvegarde réussie : %s (il y a %s jours)"),
      {date, std::to_string(*age)});
}

}  // namespace varnoket
