#include "engine/DaySet.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/FileRecord.h"
#include "platform/DecimalText.h"
#include "platform/TextLines.h"

namespace varnoket {

namespace {

std::string SetPath(const StoreLayout& layout, const std::string& dayFolder) {
  return layout.rules().Join(dayFolder, kDaySetName);
}

}  // namespace

FsStatus WriteDaySet(FileSystem& fs, const StoreLayout& layout, const std::string& dayFolder,
                     const std::vector<std::string>& folders,
                     const std::map<std::string, uint64_t>& fileSystems) {
  std::vector<std::string> lines;
  std::vector<std::string> notes;
  lines.reserve(folders.size());
  // In the form the walk gives the folders ("/a//b/." walks as "/a/b").
  for (const std::string& f : folders) {
    std::string line = layout.rules().RemoveTrailingSeparator(layout.rules().LexicallyNormal(f));
    if (const auto id = fileSystems.find(line); id != fileSystems.end()) {
      notes.push_back(std::string(kFileSystemNote) + std::to_string(id->second) + "\t" + line);
    }
    lines.push_back(std::move(line));
  }
  // After the folders, on lines of their own that are no path: a reader
  // that knows only folder lines passes over them.
  lines.insert(lines.end(), notes.begin(), notes.end());
  return fs.WriteFileAtomic(SetPath(layout, dayFolder), JoinLines(lines));
}

bool DaySet::Holds(const PathRules& rules, const std::string& path) const {
  if (!recorded) return true;
  for (const std::string& folder : folders) {
    if (rules.IsSameOrBelow(path, folder)) return true;
  }
  return false;
}

DaySet ReadDaySet(FileSystem& fs, const StoreLayout& layout, const std::string& dayFolder) {
  DaySet set;
  const std::string path = SetPath(layout, dayFolder);
  const auto entry = fs.Stat(path);
  if (!entry) return set;
  // From here on the day says it has a set: one that cannot be read or
  // trusted holds nothing, rather than everything.
  set.recorded = true;
  const auto text = entry->isRegularFile ? fs.ReadFile(path) : std::nullopt;
  if (!text || (!text->empty() && text->back() != '\n')) return set;
  std::vector<std::pair<std::string, uint64_t>> notes;
  for (std::string& folder : SplitLines(*text)) {
    if (folder.rfind(kFileSystemNote, 0) == 0) {
      const size_t tab = folder.find('\t');
      const size_t start = std::string_view(kFileSystemNote).size();
      if (tab == std::string::npos) continue;
      const std::optional<uint64_t> id =
          ParseDecimal<uint64_t>(std::string_view(folder).substr(start, tab - start));
      if (id) notes.emplace_back(folder.substr(tab + 1), *id);
      continue;
    }
    // A backup folder may be the root itself ("/"), which IsCleanAbsolutePath
    // does not take as a name below the root. A line that is no clean path
    // holds nothing: no record under it is taken.
    const bool root = folder.size() == 1 && folder[0] == layout.rules().Separator();
    if (root || layout.rules().IsCleanAbsolutePath(folder))
      set.folders.push_back(std::move(folder));
  }
  // A note counts only for a folder of the set.
  for (auto& [folder, id] : notes) {
    if (std::find(set.folders.begin(), set.folders.end(), folder) != set.folders.end()) {
      set.fileSystems[folder] = id;
    }
  }
  return set;
}

}  // namespace varnoket
