// What changed on a backup day: the files new or changed since the day
// before (those the day stored or gave a shared copy) and the files gone
// since. Empty folders are no files and are not counted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

enum class ChangeKind { kAdded, kChanged, kRemoved };

struct FileChange {
  ChangeKind kind = ChangeKind::kAdded;
  std::string fullPath;
};

struct DayChanges {
  std::string previousDay;          // the day compared with; "" for the oldest kept day
  std::vector<FileChange> changes;  // in ordinal order of their paths
};

// Compares the day `dayIndex` of `dayFolders` (oldest first) with the one
// before it; the oldest day's files are all new. nullopt when either list
// cannot be read.
std::optional<DayChanges> ChangesOfDay(FileSystem& fs, const StoreLayout& layout,
                                       const std::vector<std::string>& dayFolders, size_t dayIndex);

}  // namespace varnoket
