#include "restore/FileVersions.h"

#include <optional>

#include "engine/FileRecord.h"
#include "restore/ListScan.h"

namespace varnoket {

namespace {

// What one day's list says of the path.
struct DayState {
  enum class Kind { kAbsent, kFolder, kFile } kind = Kind::kAbsent;
  FileVersion file;
};

bool SameFile(const FileVersion& a, const FileVersion& b) {
  return a.size == b.size && a.checksum == b.checksum && a.fileDate == b.fileDate;
}

}  // namespace

FileHistory FileVersions(FileSystem& fs, const StoreLayout& layout,
                         const std::vector<std::string>& dayFolders, const std::string& fullPath) {
  FileHistory history;
  const std::string needle = "|" + fullPath + "|";
  DayState before;
  for (const std::string& folder : dayFolders) {
    DayState today;
    const bool read = ForEachLineHolding(
        fs, layout.FileListPath(layout.DayFolder(folder)), needle, [&](std::string_view line) {
          const auto rec = ParseFileRecord(line);
          if (!rec || rec->fullPath != fullPath || !rec->offered) return;
          if (rec->IsDirectory()) {
            // A file record of the same path wins: it is what a restore writes.
            if (today.kind == DayState::Kind::kAbsent) today.kind = DayState::Kind::kFolder;
            return;
          }
          if (today.kind == DayState::Kind::kFile) return;
          today.kind = DayState::Kind::kFile;
          today.file =
              FileVersion{folder, rec->size, rec->checksum, rec->fileDate, rec->storedName};
        });
    if (!read) {
      history.unreadableDays.push_back(folder);
      // Nothing is known of that day: the next one is compared with the
      // last day that was read.
      continue;
    }
    if (today.kind == DayState::Kind::kFolder) history.folderDays.push_back(folder);
    if (today.kind == DayState::Kind::kFile &&
        (before.kind != DayState::Kind::kFile || !SameFile(before.file, today.file))) {
      history.versions.push_back(today.file);
    }
    before = today;
  }
  return history;
}

}  // namespace varnoket
