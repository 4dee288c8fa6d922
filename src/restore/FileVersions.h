// The versions of one file across the kept days: the days in which its record
// differs from the day before (in size, checksum or date), oldest first. A
// day that records the path for the first time, or again after days without
// it, gives a version; a day that does not record it is skipped. A path kept
// as an empty folder on some days is said apart: those days are no versions
// of a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

struct FileVersion {
  std::string dayFolder;  // ddmmyyyy
  int32_t size = 0;       // low 32 bits of the size, as the list keeps it
  uint32_t checksum = 0;
  int32_t fileDate = 0;  // packed DOS date
  std::string storedName;
};

struct FileHistory {
  std::vector<FileVersion> versions;        // oldest first
  std::vector<std::string> folderDays;      // days that record the path as a folder
  std::vector<std::string> unreadableDays;  // lists that could not be read

  bool Recorded() const { return !versions.empty() || !folderDays.empty(); }
};

// Reads each of `dayFolders` (oldest first) once, looking only at the lines
// that hold `fullPath` as a whole field. Records marked as not offered for
// restore, and records whose numbers do not parse, count as absent.
FileHistory FileVersions(FileSystem& fs, const StoreLayout& layout,
                         const std::vector<std::string>& dayFolders, const std::string& fullPath);

}  // namespace varnoket
