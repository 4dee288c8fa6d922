#include "restore/DayChanges.h"

#include <algorithm>
#include <unordered_map>

#include "engine/FileRecord.h"
#include "restore/ListScan.h"

namespace varnoket {

namespace {

// What tells two records of one path apart: size, checksum and date.
struct Content {
  int32_t size = 0;
  uint32_t checksum = 0;
  int32_t fileDate = 0;
  bool seen = false;  // the later day records the path too
};

// The record of a file offered for restore; nothing for any other line.
std::optional<FileRecord> OfferedFile(std::string_view line) {
  auto rec = ParseFileRecord(line);
  if (!rec || rec->IsDirectory() || !rec->offered) return std::nullopt;
  return rec;
}

}  // namespace

std::optional<DayChanges> ChangesOfDay(FileSystem& fs, const StoreLayout& layout,
                                       const std::vector<std::string>& dayFolders,
                                       size_t dayIndex) {
  if (dayIndex >= dayFolders.size()) return std::nullopt;
  DayChanges result;
  std::unordered_map<std::string, Content> before;
  if (dayIndex > 0) {
    result.previousDay = dayFolders[dayIndex - 1];
    const bool read = ForEachListLine(
        fs, layout.FileListPath(layout.DayFolder(result.previousDay)), [&](std::string_view line) {
          if (auto rec = OfferedFile(line)) {
            before.emplace(std::move(rec->fullPath),
                           Content{rec->size, rec->checksum, rec->fileDate});
          }
        });
    if (!read) return std::nullopt;
  }
  const bool read = ForEachListLine(
      fs, layout.FileListPath(layout.DayFolder(dayFolders[dayIndex])), [&](std::string_view line) {
        const auto rec = OfferedFile(line);
        if (!rec) return;
        const auto it = before.find(rec->fullPath);
        if (it == before.end()) {
          result.changes.push_back({ChangeKind::kAdded, rec->fullPath});
          return;
        }
        it->second.seen = true;
        const Content& old = it->second;
        if (old.size != rec->size || old.checksum != rec->checksum ||
            old.fileDate != rec->fileDate) {
          result.changes.push_back({ChangeKind::kChanged, rec->fullPath});
        }
      });
  if (!read) return std::nullopt;
  for (const auto& [path, content] : before) {
    if (!content.seen) result.changes.push_back({ChangeKind::kRemoved, path});
  }
  std::sort(result.changes.begin(), result.changes.end(),
            [](const FileChange& a, const FileChange& b) {
              return CompareOrdinal(a.fullPath, b.fullPath) < 0;
            });
  return result;
}

}  // namespace varnoket
