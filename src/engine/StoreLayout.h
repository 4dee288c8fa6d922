// Where everything lies in the backup store:
//   <root>/<station>/                  station folder
//   <root>/<station>/<station>.ini     station settings
//   <root>/<station>/LASTBACKUP.LOG    activity log of the latest run
//   <root>/<station>/<ddmmyyyy>/       one day folder per backup day
//   <day folder>/filelist.txt          the day's file list
//   <day folder>/<StoredName>          one compressed copy per stored file
#pragma once

#include <string>

#include "platform/Day.h"
#include "platform/PathRules.h"

namespace varnoket {

constexpr const char* kFileListName = "filelist.txt";
constexpr const char* kLogName = "LASTBACKUP.LOG";

class StoreLayout {
 public:
  StoreLayout(PathRules rules, std::string backupRoot, std::string stationName)
      : rules_(rules), root_(std::move(backupRoot)), station_(std::move(stationName)) {}

  const PathRules& rules() const { return rules_; }
  const std::string& root() const { return root_; }
  const std::string& station() const { return station_; }

  std::string StationFolder() const;
  std::string StationSettingsPath() const;
  std::string LogPath() const;
  std::string DayFolder(const Day& d) const;
  std::string DayFolder(const std::string& folderName) const;
  std::string FileListPath(const std::string& dayFolder) const;
  std::string StoredFilePath(const std::string& dayFolder, const std::string& storedName) const;

 private:
  PathRules rules_;
  std::string root_;
  std::string station_;
};

}  // namespace varnoket
