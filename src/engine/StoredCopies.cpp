#include "engine/StoredCopies.h"

#include <algorithm>

#include "engine/DayFolders.h"

namespace varnoket {

namespace {

constexpr std::string_view kStoredSuffix = ".ZZ";

struct Walk {
  FileSystem& fs;
  const PathRules& rules;
  const std::function<void()>& pump;
  std::vector<std::pair<uint64_t, uint32_t>>& found;
  uint32_t day;
};

// Every copy below `folder`, named by its path relative to the day folder
// (`relative`, "" at the top). Links are not followed: the program never
// makes one, so what a link leads to is no copy of its own.
void AddCopies(Walk& walk, const std::string& folder, const std::string& relative) {
  if (walk.pump) walk.pump();
  const auto entries = walk.fs.ListDirectory(folder);
  if (!entries) return;
  for (const DirEntry& e : *entries) {
    const std::string name = relative.empty() ? e.name : walk.rules.Join(relative, e.name);
    if (e.isSymlink) continue;
    if (e.isDirectory) {
      AddCopies(walk, walk.rules.Join(folder, e.name), name);
    } else if (e.isRegularFile && e.size >= kSmallestStoredCopy &&
               std::string_view(e.name).ends_with(kStoredSuffix)) {
      walk.found.emplace_back(StoredNameHash(name), walk.day);
    }
  }
}

}  // namespace

uint64_t StoredNameHash(std::string_view text) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

StoredCopies StoredCopies::Find(FileSystem& fs, const StoreLayout& layout,
                                const std::string& lastDay, const std::function<void()>& pump) {
  StoredCopies copies;
  const std::string lastKey = DayKey(lastDay);
  if (lastKey.empty()) return copies;
  std::vector<std::string> keys;
  ListDayFolders(fs, layout.rules(), layout.StationFolder(), keys, pump);
  std::sort(keys.begin(), keys.end());
  keys.erase(std::upper_bound(keys.begin(), keys.end(), lastKey), keys.end());
  Walk walk{fs, layout.rules(), pump, copies.newest_, 0};
  for (const std::string& key : keys) {
    copies.days_.push_back(FolderOfKey(key));
    walk.day = static_cast<uint32_t>(copies.days_.size() - 1);
    AddCopies(walk, layout.DayFolder(copies.days_.back()), "");
  }
  // One entry per name: its newest day, which sorts last among its own.
  auto& found = copies.newest_;
  std::sort(found.begin(), found.end());
  auto last = std::unique(found.rbegin(), found.rend(),
                          [](const auto& a, const auto& b) { return a.first == b.first; });
  found.erase(found.begin(), last.base());
  found.shrink_to_fit();
  return copies;
}

const std::string* StoredCopies::NewestDayOf(std::string_view storedName) const {
  const uint64_t hash = StoredNameHash(storedName);
  const auto it = std::lower_bound(newest_.begin(), newest_.end(), hash,
                                   [](const auto& e, uint64_t h) { return e.first < h; });
  if (it == newest_.end() || it->first != hash) return nullptr;
  return &days_[it->second];
}

}  // namespace varnoket
