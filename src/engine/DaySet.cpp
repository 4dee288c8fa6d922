#include "engine/DaySet.h"

#include <filesystem>

#include "engine/FileRecord.h"

namespace varnoket {

namespace {

std::string SetPath(const StoreLayout& layout, const std::string& dayFolder) {
  return layout.rules().Join(dayFolder, kDaySetName);
}

}  // namespace

bool WriteDaySet(FileSystem& fs, const StoreLayout& layout, const std::string& dayFolder,
                 const std::vector<std::string>& folders) {
  std::vector<std::string> lines;
  lines.reserve(folders.size());
  // In the form the walk gives the folders ("/a//b/." walks as "/a/b").
  for (const std::string& f : folders) {
    const std::string normal = layout.rules().style() == PathStyle::kPosix
                                   ? std::filesystem::path(f).lexically_normal().string()
                                   : f;
    lines.push_back(layout.rules().RemoveTrailingSeparator(normal));
  }
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
  for (std::string& folder : SplitLines(*text)) {
    // A backup folder may be the root itself ("/"), which IsCleanAbsolutePath
    // does not take as a name below the root. A line that is no clean path
    // holds nothing: no record under it is taken.
    const bool root = folder.size() == 1 && folder[0] == layout.rules().Separator();
    if (root || layout.rules().IsCleanAbsolutePath(folder))
      set.folders.push_back(std::move(folder));
  }
  return set;
}

}  // namespace varnoket
