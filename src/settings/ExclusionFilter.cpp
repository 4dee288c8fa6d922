#include "settings/ExclusionFilter.h"

#include <algorithm>

#include "platform/AsciiText.h"

namespace varnoket {

std::string StoredFilterForm(std::string_view entry) {
  return LowerAscii(entry);
}

std::string ExclusionRefusal(std::string_view entry, const std::vector<std::string>& listed) {
  if (entry.empty()) return kFilterEmpty;
  if (entry == "*") return kFilterAllFiles;
  if (std::count(entry.begin(), entry.end(), '*') >= 2) return kFilterManyStars;
  const std::string stored = StoredFilterForm(entry);
  for (const std::string& filter : listed) {
    if (EqualsIgnoreCase(filter, stored)) return kFilterDuplicate;
  }
  return {};
}

}  // namespace varnoket
