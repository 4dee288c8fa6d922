#include "engine/Scheduler.h"

namespace varnoket {

bool IsTodayAfter(const LocalDateTime& now, const std::optional<Day>& lastBackupDate) {
  if (!lastBackupDate) return true;
  return DayNumber(DayOf(now)) > DayNumber(*lastBackupDate);
}

bool IsBackupDue(const LocalDateTime& now, const std::optional<Day>& lastBackupDate,
                 int preferredHour, int preferredMinute) {
  return IsTodayAfter(now, lastBackupDate) &&
         now.hour * 60 + now.minute >= preferredHour * 60 + preferredMinute;
}

void RemoveTodayFileList(FileSystem& fs, const StoreLayout& layout, const LocalDateTime& now) {
  fs.DeleteFile(layout.FileListPath(layout.DayFolder(DayOf(now))));
}

}  // namespace varnoket
