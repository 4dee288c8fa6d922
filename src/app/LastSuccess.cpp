#include "app/LastSuccess.h"

#include "platform/MessageText.h"
#include "platform/ShownFormat.h"
#include "platform/Translation.h"
#include "settings/NormalizeDate.h"
#include "settings/StationSettings.h"

namespace varnoket {
namespace {

// Days since 1 March of year 0 in the proleptic Gregorian calendar, so two
// dates subtract to the number of days between them.
long DayNumber(int year, int month, int day) {
  const int y = month <= 2 ? year - 1 : year;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yearOfEra = y - era * 400;
  const int monthFromMarch = month > 2 ? month - 3 : month + 9;
  const int dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return static_cast<long>(era) * 146097L + dayOfEra;
}

}  // namespace

std::optional<int> DaysSinceLastSuccess(const std::string& lastBackupDate,
                                        const LocalDateTime& now) {
  std::string date = lastBackupDate;
  if (!NormalizeDate(date) || date == kNoBackupDate) return std::nullopt;
  const int day = std::stoi(date.substr(0, 2));
  const int month = std::stoi(date.substr(3, 2));
  const int year = std::stoi(date.substr(6, 4));
  return static_cast<int>(DayNumber(now.year, now.month, now.day) - DayNumber(year, month, day));
}

std::string LastSuccessText(const std::string& lastBackupDate, const LocalDateTime& now) {
  const std::optional<int> age = DaysSinceLastSuccess(lastBackupDate, now);
  if (!age) return kNoSuccessText;
  std::string normal = lastBackupDate;
  NormalizeDate(normal);
  // Said on screen only, never logged: the date in the locale's form.
  LocalDateTime day;
  day.day = std::stoi(normal.substr(0, 2));
  day.month = std::stoi(normal.substr(3, 2));
  day.year = std::stoi(normal.substr(6, 4));
  const std::string date = ShownDate(day);
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
