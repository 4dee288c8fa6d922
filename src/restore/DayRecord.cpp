#include "restore/DayRecord.h"

#include "engine/DaySet.h"
#include "restore/CheckedList.h"
#include "restore/ListScan.h"

namespace varnoket {

std::optional<RestoreEntry> DayFileRecord(FileSystem& fs, const StoreLayout& layout,
                                          const std::string& dayFolder,
                                          const std::string& fullPath) {
  const std::string folder = layout.DayFolder(dayFolder);
  const DaySet set = ReadDaySet(fs, layout, folder);
  std::optional<ListEntry> found;
  bool twice = false;
  const std::string needle = "|" + fullPath + "|";
  const bool read =
      ForEachLineHolding(fs, layout.FileListPath(folder), needle, [&](std::string_view line) {
        const LineCheck check = CheckListLine(line, layout.rules(), set);
        if (check.fault != LineFault::kNone || check.entry.fullPath != fullPath) return;
        if (!found) {
          found = check.entry;
        } else if (*found != check.entry) {
          twice = true;  // which one is right, nothing says
        }
      });
  if (!read || !found || twice || !found->offered || found->IsDirectory()) return std::nullopt;
  return RestoreEntry{fullPath, found->storedName, found->attributes, found->fileDate,
                      found->Content()};
}

}  // namespace varnoket
