#include "restore/ShownValues.h"

#include <cstdio>

#include "platform/DosDate.h"

namespace varnoket {

std::string SizeText(int64_t bytes) {
  const bool negative = bytes < 0;
  std::string digits = std::to_string(negative ? -bytes : bytes);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, " ");
  return (negative ? "-" : "") + digits + " o";
}

std::string DosDateText(int32_t packed) {
  const LocalDateTime t = UnpackDosDate(packed);
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return text;
}

std::string DayFolderText(const std::string& dayFolder) {
  if (dayFolder.size() != 8) return dayFolder;
  return dayFolder.substr(0, 2) + "/" + dayFolder.substr(2, 2) + "/" + dayFolder.substr(4);
}

}  // namespace varnoket
