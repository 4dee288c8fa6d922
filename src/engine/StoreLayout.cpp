#include "engine/StoreLayout.h"

namespace varnoket {

std::string StoreLayout::StationFolder() const {
  return rules_.Join(root_, station_);
}

std::string StoreLayout::StationSettingsPath() const {
  return rules_.Join(StationFolder(), station_ + ".ini");
}

std::string StoreLayout::LogPath() const {
  return rules_.Join(StationFolder(), kLogName);
}

std::string StoreLayout::DayFolder(const Day& d) const {
  return DayFolder(DayFolderName(d));
}

std::string StoreLayout::DayFolder(const std::string& folderName) const {
  return rules_.Join(StationFolder(), folderName);
}

std::string StoreLayout::FileListPath(const std::string& dayFolder) const {
  return rules_.Join(dayFolder, kFileListName);
}

std::string StoreLayout::StoredFilePath(const std::string& dayFolder,
                                        const std::string& storedName) const {
  return rules_.Join(dayFolder, storedName);
}

}  // namespace varnoket
