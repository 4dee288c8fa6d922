#include "engine/DamagedCopies.h"

#include <algorithm>
#include <optional>

#include "engine/DayFolders.h"
#include "engine/FileRecord.h"
#include "engine/StoredCopies.h"
#include "platform/TextLines.h"

namespace varnoket {

namespace {

std::string FilePath(const StoreLayout& layout) {
  return layout.rules().Join(layout.StationFolder(), kDamagedCopiesName);
}

// A copy's line: a day folder's name and a stored name a list may hold.
bool IsCopyLine(const PathRules& rules, std::string_view day, std::string_view name) {
  return !DayKey(std::string(day)).empty() && rules.IsSafeStoredName(name) &&
         name.find_first_of("|\r\n") == std::string_view::npos;
}

// The day and the name of a line, when it is a copy's line.
std::optional<std::pair<std::string_view, std::string_view>> ParseLine(const PathRules& rules,
                                                                       std::string_view line) {
  const size_t bar = line.find('|');
  if (bar == std::string_view::npos) return std::nullopt;
  const std::string_view day = line.substr(0, bar);
  const std::string_view name = line.substr(bar + 1);
  if (!IsCopyLine(rules, day, name)) return std::nullopt;
  return std::make_pair(day, name);
}

uint64_t CopyHash(std::string_view day, std::string_view name) {
  std::string key;
  key.reserve(day.size() + 1 + name.size());
  key.append(day).append("|").append(name);
  return StoredNameHash(key);
}

}  // namespace

bool RecordDamagedCopy(FileSystem& fs, const StoreLayout& layout, const std::string& dayFolder,
                       const std::string& storedName) {
  std::string day = dayFolder;
  if (DayKey(day).empty()) {
    // A full path: it must be a day folder of this very station.
    day = layout.rules().FileName(dayFolder);
    if (layout.DayFolder(day) != dayFolder) return false;
  }
  if (!IsCopyLine(layout.rules(), day, storedName)) return false;
  const std::string path = FilePath(layout);
  const std::string line = day + "|" + storedName + "\r\n";
  if (fs.AppendToFile(path, line, false)) return true;
  return !fs.Exists(path) && fs.AppendToFile(path, line, true);
}

DamagedCopies DamagedCopies::Read(FileSystem& fs, const StoreLayout& layout) {
  DamagedCopies damaged;
  const auto text = fs.ReadFile(FilePath(layout));
  if (!text) return damaged;
  for (const std::string& line : SplitLines(*text)) {
    if (const auto copy = ParseLine(layout.rules(), line)) {
      damaged.listed_.push_back(CopyHash(copy->first, copy->second));
    }
  }
  std::sort(damaged.listed_.begin(), damaged.listed_.end());
  return damaged;
}

bool DamagedCopies::Lists(std::string_view day, std::string_view storedName) const {
  return std::binary_search(listed_.begin(), listed_.end(), CopyHash(day, storedName));
}

bool PruneDamagedCopies(FileSystem& fs, const StoreLayout& layout,
                        const std::vector<std::string>& days) {
  const std::string path = FilePath(layout);
  const auto text = fs.ReadFile(path);
  if (!text) return true;  // no file, nothing to prune
  const std::vector<std::string> lines = SplitLines(*text);
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    const auto copy = ParseLine(layout.rules(), line);
    if (copy && std::find(days.begin(), days.end(), copy->first) != days.end()) {
      kept.push_back(line);
    }
  }
  if (kept.empty()) return fs.DeleteFile(path).ok();
  if (kept.size() == lines.size()) return true;
  return fs.WriteFileAtomic(path, JoinLines(kept)).ok();
}

}  // namespace varnoket
