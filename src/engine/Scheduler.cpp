#include "engine/Scheduler.h"

namespace varnoket {

bool IsTodayAfter(const LocalDateTime& now, const std::string& lastBackupDate) {
  Day last;
  if (!ParseDayText(lastBackupDate, last)) return true;
  return DayNumber(DayOf(now)) > DayNumber(last);
}

bool IsBackupDue(const LocalDateTime& now, const std::string& lastBackupDate, int preferredHour,
                 int preferredMinute) {
  return IsTodayAfter(now, lastBackupDate) &&
         now.hour * 60 + now.minute >= preferredHour * 60 + preferredMinute;
}

void RemoveTodayFileList(FileSystem& fs, const StoreLayout& layout, const LocalDateTime& now) {
  fs.DeleteFile(layout.FileListPath(layout.DayFolder(DayOf(now))));
}

}  // namespace varnoket
