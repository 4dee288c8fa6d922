#include "restore/KeptCopyName.h"

namespace varnoket {

std::string KeptCopyName(std::string_view fileName, std::string_view dayFolder, int attempt) {
  size_t dot = fileName.rfind('.');
  if (dot == 0 || dot == std::string_view::npos) dot = fileName.size();
  std::string day(dayFolder);
  if (day.size() == 8) day = day.substr(0, 2) + "-" + day.substr(2, 2) + "-" + day.substr(4, 4);
  std::string name(fileName.substr(0, dot));
  name += " (restauré du " + day + ")";
  if (attempt > 1) name += " " + std::to_string(attempt);
  name += fileName.substr(dot);
  return name;
}

}  // namespace varnoket
