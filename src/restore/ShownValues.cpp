#include "restore/ShownValues.h"

#include "platform/DosDate.h"
#include "platform/ShownFormat.h"

namespace varnoket {

std::string SizeText(int64_t bytes) {
  return ByteSizeText(bytes, SizeStyle::kExact);
}

std::string DosDateText(int32_t packed) {
  return ShownDateTime(UnpackDosDate(packed));
}

std::string DayFolderText(const std::string& dayFolder) {
  if (dayFolder.size() != 8 || dayFolder.find_first_not_of("0123456789") != std::string::npos)
    return dayFolder;
  LocalDateTime day;
  day.day = std::stoi(dayFolder.substr(0, 2));
  day.month = std::stoi(dayFolder.substr(2, 2));
  day.year = std::stoi(dayFolder.substr(4));
  return ShownDate(day);
}

}  // namespace varnoket
