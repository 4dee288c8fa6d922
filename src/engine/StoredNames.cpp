// Choice of each file's stored name and of the files stored today.
//
// 1. A file whose path, size, checksum and date equal its own record in the
//    previous list is unchanged: it keeps that record's stored name and is
//    not stored again.
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
#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "engine/FileRecord.h"
#include "engine/SourceScan.h"

namespace varnoket {

namespace {

struct HashKey {
  size_t operator()(const std::array<uint8_t, 32>& h) const {
    size_t v;
    std::memcpy(&v, h.data(), sizeof v);
    return v;
  }
};

enum class Status { kKeep, kNeed, kUnreadable };

}  // namespace

NamingResult AssignStoredNames(const PathRules& rules, const std::vector<ScannedFile>& files,
                               const std::vector<std::string>& previousList) {
  // The previous record of each path: the first in list order.
  std::unordered_map<std::string_view, uint32_t> previousByPath;
  previousByPath.reserve(previousList.size());
  std::vector<FileRecord> parsed;  // only for the records looked at
  for (uint32_t i = 0; i < previousList.size(); ++i) {
    const std::string& line = previousList[i];
    if (line.size() <= 10) continue;
    // FullPath is the fourth field.
    size_t start = 0;
    int field = 0;
    for (; field < 3; ++field) {
      const size_t bar = line.find('|', start);
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    if (field < 3) continue;
    const size_t end = line.find('|', start);
    if (end == std::string::npos) continue;
    previousByPath.emplace(std::string_view(line).substr(start, end - start), i);
  }

  const size_t n = files.size();
  std::vector<Status> status(n, Status::kNeed);
  std::vector<std::string> name(n);
  std::vector<std::string> own(n);
  std::unordered_map<std::string_view, uint32_t> ownerOf;
  ownerOf.reserve(n);
  for (uint32_t i = 0; i < n; ++i) {
    own[i] = rules.StoredName(files[i].path);
    ownerOf.emplace(own[i], i);
  }

  auto previousOf = [&](const ScannedFile& f) -> std::optional<FileRecord> {
    auto it = previousByPath.find(f.path);
    if (it == previousByPath.end()) return std::nullopt;
    auto rec = ParseFileRecord(previousList[it->second]);
    if (!rec || rec->IsDirectory() || !rules.IsSafeStoredName(rec->storedName)) return std::nullopt;
    return rec;
  };

  // Step 1: unchanged files keep their names.
  for (uint32_t i = 0; i < n; ++i) {
    const ScannedFile& f = files[i];
    if (!f.readable) {
      status[i] = Status::kUnreadable;
      continue;
    }
    const auto prev = previousOf(f);
    if (!prev) continue;
    const std::string line = FormatFileRecord(f.digest.size, f.digest.checksum, prev->storedName,
                                              f.path, f.attributes, f.fileDate);
    const auto now = ParseFileRecord(line);
    if (now->size == prev->size && now->checksum == prev->checksum &&
        now->fileDate == prev->fileDate) {
      status[i] = Status::kKeep;
      name[i] = prev->storedName;
    }
  }

  // Step 2: a kept name stands for one content.
  std::vector<uint32_t> keepers;
  for (uint32_t i = 0; i < n; ++i) {
    if (status[i] == Status::kKeep) keepers.push_back(i);
  }
  std::stable_sort(keepers.begin(), keepers.end(),
                   [&](uint32_t a, uint32_t b) { return name[a] < name[b]; });
  for (size_t g = 0; g < keepers.size();) {
    size_t end = g;
    while (end < keepers.size() && name[keepers[end]] == name[keepers[g]]) ++end;
    const std::string& m = name[keepers[g]];
    const auto owner = ownerOf.find(m);
    const ScannedFile* reference = nullptr;
    uint32_t referenceIndex = keepers[g];
    if (owner != ownerOf.end()) {
      referenceIndex = owner->second;
      reference = files[referenceIndex].readable ? &files[referenceIndex] : nullptr;
    } else {
      reference = &files[keepers[g]];
    }
    for (size_t k = g; k < end; ++k) {
      const uint32_t i = keepers[k];
      if (i == referenceIndex) continue;
      if (reference == nullptr || !files[i].digest.SameContent(reference->digest)) {
        status[i] = Status::kNeed;
        name[i].clear();
      }
    }
    g = end;
  }

  // Step 3: names by content, kept names first, then changed files in walk
  // order, the first of a group giving it its name.
  // Content -> the file whose name stands for it.
  std::unordered_map<std::array<uint8_t, 32>, uint32_t, HashKey> nameOfContent;
  for (uint32_t i = 0; i < n; ++i) {
    if (status[i] == Status::kKeep && files[i].digest.hasHash) {
      nameOfContent.try_emplace(files[i].digest.hash, i);
    }
  }
  NamingResult result;
  result.records.reserve(n);
  std::unordered_map<std::string_view, bool> writtenToday;
  for (uint32_t i = 0; i < n; ++i) {
    if (status[i] != Status::kNeed) continue;
    const ContentDigest& d = files[i].digest;
    if (d.hasHash) {
      auto found = nameOfContent.find(d.hash);
      if (found != nameOfContent.end() && files[found->second].digest.SameContent(d)) {
        name[i] = name[found->second];
        continue;
      }
    }
    name[i] = own[i];
    if (d.hasHash) nameOfContent.try_emplace(d.hash, i);
    result.queued.push_back(FormatFileRecord(d.size, d.checksum, name[i], files[i].path,
                                             files[i].attributes, files[i].fileDate));
    writtenToday.emplace(own[i], true);
  }

  for (uint32_t i = 0; i < n; ++i) {
    const ScannedFile& f = files[i];
    if (status[i] == Status::kUnreadable) {
      const auto prev = previousOf(f);
      if (!prev || writtenToday.count(prev->storedName) != 0) continue;
      const auto owner = ownerOf.find(prev->storedName);
      if (owner != ownerOf.end() && owner->second != i) continue;
      result.records.push_back(previousList[previousByPath.find(f.path)->second]);
      continue;
    }
    result.records.push_back(
        FormatFileRecord(f.digest.size, f.digest.checksum, name[i], f.path, f.attributes, f.fileDate));
  }
  return result;
}

}  // namespace varnoket
