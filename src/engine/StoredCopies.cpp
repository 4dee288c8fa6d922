#include "engine/StoredCopies.h"

#include <algorithm>

#include "engine/DayFolders.h"
#include "platform/PathRules.h"

namespace varnoket {

namespace {

constexpr uint64_t kHashStart = 14695981039346656037ull;

// FNV-1a goes byte after byte, so the hash of "folder/name" continues the
// hash of "folder/": the walk hashes each name without building its path.
uint64_t HashOn(uint64_t hash, std::string_view text) {
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

struct Walk {
  FileSystem& fs;
  const PathRules& rules;
  const std::function<void()>& pump;
  std::vector<uint64_t>& found;  // the hashes of one day's copies
};

// Every copy below `folder`, whose path relative to the day folder hashes,
// with its separator, to `prefix`. Links are not followed: the program
// never makes one, so what a link leads to is no copy of its own.
void AddCopies(Walk& walk, const std::string& folder, uint64_t prefix) {
  if (walk.pump) walk.pump();
  const auto entries = walk.fs.ListDirectory(folder);
  if (!entries) return;
  const char separator[] = {walk.rules.Separator(), '\0'};
  for (const DirEntry& e : *entries) {
    if (e.isSymlink) continue;
    if (e.isDirectory) {
      AddCopies(walk, walk.rules.Join(folder, e.name), HashOn(HashOn(prefix, e.name), separator));
    } else if (e.isRegularFile && e.size >= kSmallestStoredCopy &&
               std::string_view(e.name).ends_with(kStoredSuffix)) {
      walk.found.push_back(HashOn(prefix, e.name));
    }
  }
}

}  // namespace

uint64_t StoredNameHash(std::string_view text) {
  return HashOn(kHashStart, text);
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
  std::vector<uint64_t> day;
  std::vector<std::pair<uint64_t, uint32_t>> merged;
  Walk walk{fs, layout.rules(), pump, day};
  // Day after day, oldest first; each day's copies are merged in at once,
  // a newer day taking the names it shares with older ones. What is kept
  // grows with the names, not with the days that hold them.
  for (const std::string& key : keys) {
    copies.days_.push_back(FolderOfKey(key));
    const auto index = static_cast<uint32_t>(copies.days_.size() - 1);
    day.clear();
    AddCopies(walk, layout.DayFolder(copies.days_.back()), kHashStart);
    std::sort(day.begin(), day.end());
    day.erase(std::unique(day.begin(), day.end()), day.end());
    merged.clear();
    merged.reserve(copies.newest_.size() + day.size());
    auto older = copies.newest_.begin();
    for (const uint64_t hash : day) {
      for (; older != copies.newest_.end() && older->first < hash; ++older)
        merged.push_back(*older);
      if (older != copies.newest_.end() && older->first == hash) ++older;
      merged.emplace_back(hash, index);
    }
    merged.insert(merged.end(), older, copies.newest_.end());
    copies.newest_.swap(merged);
  }
  copies.newest_.shrink_to_fit();
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
