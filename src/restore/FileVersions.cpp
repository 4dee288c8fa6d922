#include "restore/FileVersions.h"

#include <optional>

#include "engine/FileRecord.h"
#include "platform/DecimalText.h"
#include "restore/ListScan.h"
#include "restore/RecordedContent.h"

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
          const auto rec = ViewFileRecord(line);
          if (!rec || rec->fullPath != fullPath || rec->last == "1") return;
          if (rec->IsDirectory()) {
            // A file record of the same path wins: it is what a restore writes.
            if (today.kind == DayState::Kind::kAbsent) today.kind = DayState::Kind::kFolder;
            return;
          }
          const auto content = ParseRecordedContent(rec->size, rec->checksum);
          const auto date = ParseDecimal<int32_t>(rec->fileDate);
          if (!content || !date || today.kind == DayState::Kind::kFile) return;
          today.kind = DayState::Kind::kFile;
          today.file = FileVersion{folder, content->size, content->checksum, *date,
                                   std::string(rec->storedName)};
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
