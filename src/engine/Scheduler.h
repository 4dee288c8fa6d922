// The daily scheduler's decisions, apart from its timer and its questions:
// whether a tick must start the run, and the removal of today's file list
// when the user chooses to back up again on the same day.
#pragma once

#include <optional>
#include <string>

#include "engine/StoreLayout.h"
#include "platform/Clock.h"
#include "platform/Day.h"
#include "platform/FileSystem.h"

namespace varnoket {

// Due when today is later than `lastBackupDate` (none counts as long ago)
// and the time of day has reached hour:minute.
bool IsBackupDue(const LocalDateTime& now, const std::optional<Day>& lastBackupDate,
                 int preferredHour, int preferredMinute);

// True when today is later than `lastBackupDate` (or there is none): the
// button then asks the first of its two questions.
bool IsTodayAfter(const LocalDateTime& now, const std::optional<Day>& lastBackupDate);

// Deletes today's filelist.txt (errors ignored): today's folder is then no
// backup day, and the run compares with the latest earlier list. The run
// does it once it holds the station lock (BackupContext::redoToday).
void RemoveTodayFileList(FileSystem& fs, const StoreLayout& layout, const LocalDateTime& now);

}  // namespace varnoket
