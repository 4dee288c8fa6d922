// Where each store of a station backed up to several disks in turn stands:
// whether it is here and when it last received a successful backup, as this
// machine recorded it (a disk that is away cannot be asked). The warning
// about an old backup counts on the most recent store; a store not backed up
// for three times the warning's age gets a reminder of its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/StoreChoice.h"
#include "platform/Clock.h"
#include "platform/Day.h"
#include "platform/FileSystem.h"
#include "settings/ProgramSettings.h"

namespace varnoket {

struct StoreAge {
  std::string name;
  std::string root;
  bool present = false;
  std::optional<Day> lastSuccess;  // nullopt when none is known
};

// Every configured store. `activeLastSuccess` stands for the store the
// program works on when the machine has no record of it yet (a store backed
// up before the record existed): its station file's date.
// `present` says whether each store is here (none: asked of its disk).
std::vector<StoreAge> StoreAges(FileSystem& fs, const ProgramSettings& program,
                                const std::string& station,
                                const std::optional<Day>& activeLastSuccess,
                                const LocalDateTime& now,
                                const StorePresenceCheck& present = nullptr);

// The most recent success among them (nullopt when none).
std::optional<Day> NewestSuccess(const std::vector<StoreAge>& ages, const LocalDateTime& now);

// The date a due run is counted from with several stores: the oldest last
// success among the stores present (kNoBackupDay when one never had one);
// nullopt when none is present.
std::optional<Day> OldestPresentSuccess(const std::vector<StoreAge>& ages,
                                        const LocalDateTime& now);

// "Disque B : sauvegardé il y a 12 jours", for the tray's hint.
std::string StoreAgeLine(const StoreAge& age, const LocalDateTime& now);
// "Disque B (/media/b) : branché" or "... : absent".
std::string StorePresenceLine(const StoreAge& age);
// The reminders for the stores not backed up for `alertDays` × 3 days (or
// never), one line each.
std::vector<std::string> StoreReminders(const std::vector<StoreAge>& ages, int alertDays,
                                        const LocalDateTime& now);

}  // namespace varnoket
