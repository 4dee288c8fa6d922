#include "app/StoreAges.h"

#include "app/LastSuccess.h"
#include "engine/StoreChoice.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "settings/StationSettings.h"

namespace varnoket {

std::vector<StoreAge> StoreAges(FileSystem& fs, const ProgramSettings& program,
                                const std::string& station,
                                const std::optional<Day>& activeLastSuccess,
                                const LocalDateTime& now, const StorePresenceCheck& present) {
  std::vector<StoreAge> ages;
  if (!program.IsOpen()) return ages;
  const IniFile record(fs, program.file->path());
  const std::vector<StoreEntry> stores = AllStores(fs, program);
  for (size_t i = 0; i < stores.size(); ++i) {
    StoreAge age{stores[i].name, stores[i].root, false, std::nullopt};
    age.present =
        present ? present(stores[i], i) : StoreUsable(CheckStoreEntry(fs, stores[i], i, station));
    age.lastSuccess = StoreLastSuccess(record, stores[i].id);
    if (i == program.activeStore) {
      // The later of the record and the station file's own date.
      const auto recorded = DaysSinceLastSuccess(age.lastSuccess, now);
      const auto fromFile = DaysSinceLastSuccess(activeLastSuccess, now);
      if (fromFile && (!recorded || *fromFile < *recorded)) age.lastSuccess = activeLastSuccess;
    }
    ages.push_back(std::move(age));
  }
  return ages;
}

std::optional<Day> NewestSuccess(const std::vector<StoreAge>& ages, const LocalDateTime& now) {
  std::optional<Day> newest;
  std::optional<int> newestAge;
  for (const StoreAge& age : ages) {
    const auto days = DaysSinceLastSuccess(age.lastSuccess, now);
    if (days && (!newestAge || *days < *newestAge)) {
      newestAge = days;
      newest = age.lastSuccess;
    }
  }
  return newest;
}

std::optional<Day> OldestPresentSuccess(const std::vector<StoreAge>& ages,
                                        const LocalDateTime& now) {
  std::optional<Day> oldest;
  std::optional<int> oldestAge;
  for (const StoreAge& age : ages) {
    if (!age.present) continue;
    const auto days = DaysSinceLastSuccess(age.lastSuccess, now);
    if (!days) return kNoBackupDay;
    if (!oldestAge || *days > *oldestAge) {
      oldestAge = days;
      oldest = age.lastSuccess;
    }
  }
  return oldest;
}

std::string StoreAgeLine(const StoreAge& age, const LocalDateTime& now) {
  const auto days = DaysSinceLastSuccess(age.lastSuccess, now);
  if (!days) return FillText(VK_TR_NOOP("Messages", "Disque %s : jamais sauvegardé"), {age.name});
  if (*days <= 0)
    return FillText(VK_TR_NOOP("Messages", "Disque %s : sauvegardé aujourd'hui"), {age.name});
  return FillText(*days == 1 ? VK_TR_NOOP("Messages", "Disque %s : sauvegardé il y a %s jour")
                             : VK_TR_NOOP("Messages", "Disque %s : sauvegardé il y a %s jours"),
                  {age.name, std::to_string(*days)});
}

std::string StorePresenceLine(const StoreAge& age) {
  return FillText(age.present ? VK_TR_NOOP("Messages", "Disque %s (%s) : branché")
                              : VK_TR_NOOP("Messages", "Disque %s (%s) : absent"),
                  {age.name, age.root});
}

std::vector<std::string> StoreReminders(const std::vector<StoreAge>& ages, int alertDays,
                                        const LocalDateTime& now) {
  std::vector<std::string> reminders;
  if (ages.size() < 2) return reminders;
  for (const StoreAge& age : ages) {
    const auto days = DaysSinceLastSuccess(age.lastSuccess, now);
    if (!days) {
      reminders.push_back(FillText(
          VK_TR_NOOP("Messages",
                     "Rappel : le disque %s n'a encore reçu aucune sauvegarde ; branchez-le."),
          {age.name}));
    } else if (*days >= alertDays * 3) {
      reminders.push_back(FillText(VK_TR_NOOP("Messages",
                                              "Rappel : le disque %s n'a reçu aucune sauvegarde "
                                              "depuis %s jours ; branchez-le."),
                                   {age.name, std::to_string(*days)}));
    }
  }
  return reminders;
}

}  // namespace varnoket
