#include "restore/DayRecord.h"

#include <charconv>

#include "engine/FileRecord.h"
#include "restore/ListScan.h"
#include "restore/RecordedContent.h"

namespace varnoket {

namespace {

std::optional<int32_t> ParseInt(std::string_view text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace

std::optional<RestoreEntry> DayFileRecord(FileSystem& fs, const StoreLayout& layout,
                                          const std::string& dayFolder,
                                          const std::string& fullPath) {
  std::optional<RestoreEntry> found;
  const std::string needle = "|" + fullPath + "|";
  const bool read = ForEachLineHolding(
      fs, layout.FileListPath(layout.DayFolder(dayFolder)), needle, [&](std::string_view line) {
        if (found) return;
        const auto rec = ViewFileRecord(line);
        if (!rec || rec->fullPath != fullPath || rec->last == "1" || rec->IsDirectory()) return;
        const auto attributes = ParseInt(rec->attributes);
        const auto date = ParseInt(rec->fileDate);
        if (!attributes || !date) return;
        found = RestoreEntry{fullPath, std::string(rec->storedName), *attributes, *date,
                             ParseRecordedContent(rec->size, rec->checksum)};
      });
  if (!read) return std::nullopt;
  return found;
}

}  // namespace varnoket
