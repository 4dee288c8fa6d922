// Choice of each file's stored name and of the files stored today.
//
// 1. A file whose path, size, checksum and date equal its own record in the
//    previous list is unchanged: it keeps that record's stored name and is
//    not stored again, as long as the copy that name stands for can still
//    be restored. A copy that is missing or known damaged makes the file
//    changed.
// 2. Every name kept that way must still stand for one content: the content
//    of the file whose path made the name when that file is in the set, else
//    that of the first file that keeps it. A file that differs gives the
//    name up and is handled as changed.
// 3. A changed or new file takes a name that already stands for its very
//    content (same SHA-256) and is then not stored again; otherwise it takes
//    the name made from its own path and is stored today.
// 4. A file that could not be read keeps its previous record when that
//    record's name is not rewritten today (the day then restores the last
//    version saved, and the next run sees the file as changed); otherwise it
//    is left out of the day.
//
// This runs over every file of every backup: it keeps a few bytes per file
// beside the records themselves, and looks things up by bisection.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>
#include <string_view>
#include <unordered_map>

#include "engine/FileRecord.h"
#include "engine/SourceScan.h"

namespace varnoket {

namespace {

enum class Status : uint8_t { kNeed, kKeep, kUnreadable };

std::string_view Decimal(int64_t value, char (&buffer)[24]) {
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string_view(buffer, static_cast<size_t>(r.ptr - buffer));
}

uint64_t HashPrefix(const ContentDigest& d) {
  uint64_t v;
  std::memcpy(&v, d.hash.data(), sizeof v);
  return v;
}

}  // namespace

NamingResult AssignStoredNames(const PathRules& rules, const std::deque<ScannedFile>& files,
                               const std::vector<std::string>& previousList,
                               const std::function<bool(std::string_view)>& copyUsable) {
  // The previous record of each path (the first in list order), by bisection.
  std::vector<std::pair<std::string_view, uint32_t>> previousByPath;
  previousByPath.reserve(previousList.size());
  for (uint32_t i = 0; i < previousList.size(); ++i) {
    const auto v = ViewFileRecord(previousList[i]);
    if (v && !v->IsDirectory() && rules.IsSafeStoredName(v->storedName)) {
      previousByPath.emplace_back(v->fullPath, i);
    }
  }
  std::stable_sort(previousByPath.begin(), previousByPath.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });

  const auto n = static_cast<uint32_t>(files.size());
  // The file at a path, to find the owner of a stored name.
  std::vector<uint32_t> byPath(n);
  for (uint32_t i = 0; i < n; ++i) byPath[i] = i;
  std::sort(byPath.begin(), byPath.end(),
            [&](uint32_t a, uint32_t b) { return files[a].path < files[b].path; });
  // The previous record of each file, found by one walk of both orders.
  constexpr uint32_t kNone = UINT32_MAX;
  std::vector<uint32_t> previousLine(n, kNone);
  for (size_t k = 0, p = 0; k < n && p < previousByPath.size(); ++k) {
    const std::string& path = files[byPath[k]].path;
    while (p < previousByPath.size() && previousByPath[p].first < path) ++p;
    if (p < previousByPath.size() && previousByPath[p].first == path) {
      previousLine[byPath[k]] = previousByPath[p].second;
    }
  }
  previousByPath = {};
  auto previousOf = [&](uint32_t i) -> std::optional<RecordView> {
    if (previousLine[i] == kNone) return std::nullopt;
    return ViewFileRecord(previousList[previousLine[i]]);
  };
  auto ownerOf = [&](std::string_view storedName) -> int64_t {
    const std::string path = rules.PathOfStoredName(storedName);
    if (path.empty()) return -1;
    auto it = std::lower_bound(byPath.begin(), byPath.end(), path,
                               [&](uint32_t i, const std::string& p) { return files[i].path < p; });
    return it != byPath.end() && files[*it].path == path ? static_cast<int64_t>(*it) : -1;
  };

  std::vector<Status> status(n, Status::kNeed);
  std::vector<bool> lostCopy(n, false);  // unchanged, but its copy is gone
  std::vector<std::string> borrowed(n);  // empty: the file's own name
  auto nameOf = [&](uint32_t i) {
    return borrowed[i].empty() ? rules.StoredName(files[i].path) : borrowed[i];
  };

  // Step 1: unchanged files keep their names.
  for (uint32_t i = 0; i < n; ++i) {
    const ScannedFile& f = files[i];
    if (!f.readable) {
      status[i] = Status::kUnreadable;
      continue;
    }
    const auto prev = previousOf(i);
    if (!prev) continue;
    char a[24], b[24], c[24];
    const auto size = static_cast<int32_t>(static_cast<uint32_t>(f.digest.size));
    if (prev->size != Decimal(size, a) || prev->checksum != Decimal(f.digest.checksum, b) ||
        prev->fileDate != Decimal(f.fileDate, c)) {
      continue;
    }
    if (copyUsable && !copyUsable(prev->storedName)) {
      lostCopy[i] = true;
      continue;
    }
    status[i] = Status::kKeep;
    if (prev->storedName != rules.StoredName(f.path)) borrowed[i] = prev->storedName;
  }

  // Step 2: a kept name that is not the keeper's own stands for the content
  // of its owner when the owner is in the set, else of its first keeper.
  std::vector<uint32_t> keepers;
  for (uint32_t i = 0; i < n; ++i) {
    if (status[i] == Status::kKeep && !borrowed[i].empty()) keepers.push_back(i);
  }
  std::stable_sort(keepers.begin(), keepers.end(),
                   [&](uint32_t a, uint32_t b) { return borrowed[a] < borrowed[b]; });
  for (size_t g = 0; g < keepers.size();) {
    size_t end = g;
    while (end < keepers.size() && borrowed[keepers[end]] == borrowed[keepers[g]]) ++end;
    const int64_t owner = ownerOf(borrowed[keepers[g]]);
    const ScannedFile* reference = owner >= 0 ? (files[static_cast<size_t>(owner)].readable
                                                     ? &files[static_cast<size_t>(owner)]
                                                     : nullptr)
                                              : &files[keepers[g]];
    for (size_t k = g; k < end; ++k) {
      const uint32_t i = keepers[k];
      if (reference == &files[i]) continue;
      if (reference == nullptr || !files[i].digest.SameContent(reference->digest)) {
        status[i] = Status::kNeed;
        borrowed[i].clear();
      }
    }
    g = end;
  }

  // Step 3: names by content, kept names first, then changed files in walk
  // order, the first of a group giving it its name. The map is keyed by the
  // first bytes of the hash; every match is confirmed on the whole digest.
  std::unordered_map<uint64_t, uint32_t> nameOfContent;
  for (uint32_t i = 0; i < n; ++i) {
    if (status[i] == Status::kKeep && files[i].digest.hasHash) {
      nameOfContent.try_emplace(HashPrefix(files[i].digest), i);
    }
  }
  NamingResult result;
  std::vector<bool> stored(n, false);
  for (uint32_t i = 0; i < n; ++i) {
    if (status[i] != Status::kNeed) continue;
    const ScannedFile& f = files[i];
    if (f.digest.hasHash) {
      auto found = nameOfContent.find(HashPrefix(f.digest));
      if (found != nameOfContent.end() && files[found->second].digest.SameContent(f.digest)) {
        if (found->second != i) borrowed[i] = nameOf(found->second);
        if (borrowed[i] == rules.StoredName(f.path)) borrowed[i].clear();
        status[i] = Status::kKeep;  // its content already stands under that name
        continue;
      }
      nameOfContent.try_emplace(HashPrefix(f.digest), i);
    }
    stored[i] = true;
  }

  result.records.reserve(n + 1);
  for (uint32_t i = 0; i < n; ++i) {
    const ScannedFile& f = files[i];
    if (status[i] == Status::kUnreadable) {
      // The previous record's copy stays valid when its name is not
      // rewritten today: only the owner of a name, if present, rewrites it.
      const auto prev = previousOf(i);
      if (!prev) continue;
      const int64_t owner = ownerOf(prev->storedName);
      if (owner >= 0 && owner != i) continue;
      result.records.emplace_back(previousList[previousLine[i]]);
      continue;
    }
    if (stored[i]) {
      const auto position = static_cast<uint32_t>(result.records.size());
      result.queued.push_back(position);
      if (lostCopy[i]) result.recopied.push_back(position);
    }
    result.records.push_back(FormatFileRecord(f.digest.size, f.digest.checksum, nameOf(i), f.path,
                                              f.attributes, f.fileDate));
  }
  return result;
}

}  // namespace varnoket
