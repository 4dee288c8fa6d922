#include "restore/ShownValues.h"

#include "platform/Day.h"
#include "platform/DosDate.h"
#include "platform/ShownFormat.h"

namespace varnoket {

std::string DosDateText(int32_t packed) {
  return ShownDateTime(UnpackDosDate(packed));
}

std::string DayFolderText(const std::string& dayFolder) {
  Day day;
  if (!ParseDayFolderName(dayFolder, day)) return dayFolder;
  return ShownDate(StartOf(day));
}

}  // namespace varnoket
