#include "restore/StoredFileLookup.h"

namespace varnoket {

std::optional<std::string> FindStoredFile(FileSystem& fs, const StoreLayout& layout,
                                          const std::vector<std::string>& dayFolders,
                                          size_t dayIndex, const std::string& storedName) {
  if (!layout.rules().IsSafeStoredName(storedName) || dayIndex >= dayFolders.size()) {
    return std::nullopt;
  }
  for (size_t j = dayIndex + 1; j-- > 0;) {
    const std::string candidate =
        layout.StoredFilePath(layout.DayFolder(dayFolders[j]), storedName);
    if (fs.IsFile(candidate)) return candidate;
  }
  return std::nullopt;
}

std::vector<std::string> StoredCopyCandidates(FileSystem& fs, const StoreLayout& layout,
                                              const std::vector<std::string>& dayFolders,
                                              size_t dayIndex, const std::string& storedName) {
  std::vector<std::string> found;
  if (!layout.rules().IsSafeStoredName(storedName) || dayIndex >= dayFolders.size()) return found;
  for (size_t j = dayIndex + 1; j-- > 0;) {
    std::string candidate = layout.StoredFilePath(layout.DayFolder(dayFolders[j]), storedName);
    if (fs.IsFile(candidate)) found.push_back(std::move(candidate));
  }
  return found;
}

}  // namespace varnoket
