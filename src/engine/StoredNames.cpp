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
#include <cstring>
#include <functional>
#include <string_view>
#include <unordered_map>

#include "engine/FileRecord.h"
#include "engine/SourceScan.h"

namespace varnoket {

namespace {

enum class Status : uint8_t { kNeed, kKeep, kUnreadable };

uint64_t HashPrefix(const ContentDigest& d) {
  uint64_t v;
  std::memcpy(&v, d.hash.data(), sizeof v);
  return v;
}

// The naming of one run's files, step by step (see the rules above).
class Naming {
 public:
  Naming(const PathRules& rules, const std::deque<ScannedFile>& files,
         const std::vector<std::string>& previousList)
      : rules_(rules),
        files_(files),
        previousList_(previousList),
        n_(static_cast<uint32_t>(files.size())),
        status_(n_, Status::kNeed),
        lostCopy_(n_, false),
        borrowed_(n_) {
    SortByPath();
    FindPreviousRecords();
  }

  void KeepUnchanged(const std::function<bool(std::string_view)>& copyUsable);
  void ConfirmBorrowedNames();
  std::vector<bool> NameByContent();
  NamingResult Records(const std::vector<bool>& stored) const;

 private:
  static constexpr uint32_t kNone = UINT32_MAX;

  void SortByPath();
  void FindPreviousRecords();
  // The file's record in the previous list, when it has one that reads.
  std::optional<FileRecord> PreviousOf(uint32_t i) const {
    if (previousLine_[i] == kNone) return std::nullopt;
    return ParseFileRecord(previousList_[previousLine_[i]]);
  }
  // The file whose path made `storedName`, or -1 when none of the set did.
  int64_t OwnerOf(std::string_view storedName) const {
    const std::string path = rules_.PathOfStoredName(storedName);
    if (path.empty()) return -1;
    auto it =
        std::lower_bound(byPath_.begin(), byPath_.end(), path,
                         [this](uint32_t i, const std::string& p) { return files_[i].path < p; });
    return it != byPath_.end() && files_[*it].path == path ? static_cast<int64_t>(*it) : -1;
  }
  std::string NameOf(uint32_t i) const {
    return borrowed_[i].empty() ? rules_.StoredName(files_[i].path) : borrowed_[i];
  }

  const PathRules& rules_;
  const std::deque<ScannedFile>& files_;
  const std::vector<std::string>& previousList_;
  const uint32_t n_;
  std::vector<uint32_t> byPath_;        // the files in path order
  std::vector<uint32_t> previousLine_;  // each file's previous record, or kNone
  std::vector<Status> status_;
  std::vector<bool> lostCopy_;         // unchanged, but its copy is gone
  std::vector<std::string> borrowed_;  // empty: the file's own name
};

void Naming::SortByPath() {
  byPath_.resize(n_);
  for (uint32_t i = 0; i < n_; ++i) byPath_[i] = i;
  std::sort(byPath_.begin(), byPath_.end(),
            [this](uint32_t a, uint32_t b) { return files_[a].path < files_[b].path; });
}

// The previous record of each file (the first of its path in list order),
// found by one walk of both path orders.
void Naming::FindPreviousRecords() {
  std::vector<std::pair<std::string_view, uint32_t>> previousByPath;
  previousByPath.reserve(previousList_.size());
  for (uint32_t i = 0; i < previousList_.size(); ++i) {
    const auto v = ViewFileRecord(previousList_[i]);
    if (v && !v->IsDirectory() && rules_.IsSafeStoredName(v->storedName)) {
      previousByPath.emplace_back(v->fullPath, i);
    }
  }
  std::stable_sort(previousByPath.begin(), previousByPath.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  previousLine_.assign(n_, kNone);
  for (size_t k = 0, p = 0; k < n_ && p < previousByPath.size(); ++k) {
    const std::string& path = files_[byPath_[k]].path;
    while (p < previousByPath.size() && previousByPath[p].first < path) ++p;
    if (p < previousByPath.size() && previousByPath[p].first == path) {
      previousLine_[byPath_[k]] = previousByPath[p].second;
    }
  }
}

// Step 1: unchanged files keep their names.
void Naming::KeepUnchanged(const std::function<bool(std::string_view)>& copyUsable) {
  for (uint32_t i = 0; i < n_; ++i) {
    const ScannedFile& f = files_[i];
    if (!f.readable) {
      status_[i] = Status::kUnreadable;
      continue;
    }
    const auto prev = PreviousOf(i);
    if (!prev) continue;
    if (prev->size != RecordedSize(static_cast<int64_t>(f.digest.size)) ||
        prev->checksum != f.digest.checksum || prev->fileDate != f.fileDate) {
      continue;
    }
    if (copyUsable && !copyUsable(prev->storedName)) {
      lostCopy_[i] = true;
      continue;
    }
    status_[i] = Status::kKeep;
    if (prev->storedName != rules_.StoredName(f.path)) borrowed_[i] = prev->storedName;
  }
}

// Step 2: a kept name that is not the keeper's own stands for the content
// of its owner when the owner is in the set, else of its first keeper.
void Naming::ConfirmBorrowedNames() {
  std::vector<uint32_t> keepers;
  for (uint32_t i = 0; i < n_; ++i) {
    if (status_[i] == Status::kKeep && !borrowed_[i].empty()) keepers.push_back(i);
  }
  std::stable_sort(keepers.begin(), keepers.end(),
                   [this](uint32_t a, uint32_t b) { return borrowed_[a] < borrowed_[b]; });
  for (size_t g = 0; g < keepers.size();) {
    size_t end = g;
    while (end < keepers.size() && borrowed_[keepers[end]] == borrowed_[keepers[g]]) ++end;
    const int64_t owner = OwnerOf(borrowed_[keepers[g]]);
    const ScannedFile* reference = owner >= 0 ? (files_[static_cast<size_t>(owner)].readable
                                                     ? &files_[static_cast<size_t>(owner)]
                                                     : nullptr)
                                              : &files_[keepers[g]];
    for (size_t k = g; k < end; ++k) {
      const uint32_t i = keepers[k];
      if (reference == &files_[i]) continue;
      if (reference == nullptr || !files_[i].digest.SameContent(reference->digest)) {
        status_[i] = Status::kNeed;
        borrowed_[i].clear();
      }
    }
    g = end;
  }
}

// Step 3: names by content, kept names first, then changed files in walk
// order, the first of a group giving it its name. The map is keyed by the
// first bytes of the hash; every match is confirmed on the whole digest.
// Returns which files are stored today.
std::vector<bool> Naming::NameByContent() {
  std::unordered_map<uint64_t, uint32_t> nameOfContent;
  for (uint32_t i = 0; i < n_; ++i) {
    if (status_[i] == Status::kKeep && files_[i].digest.hasHash) {
      nameOfContent.try_emplace(HashPrefix(files_[i].digest), i);
    }
  }
  std::vector<bool> stored(n_, false);
  for (uint32_t i = 0; i < n_; ++i) {
    if (status_[i] != Status::kNeed) continue;
    const ScannedFile& f = files_[i];
    if (f.digest.hasHash) {
      auto found = nameOfContent.find(HashPrefix(f.digest));
      if (found != nameOfContent.end() && files_[found->second].digest.SameContent(f.digest)) {
        if (found->second != i) borrowed_[i] = NameOf(found->second);
        if (borrowed_[i] == rules_.StoredName(f.path)) borrowed_[i].clear();
        status_[i] = Status::kKeep;  // its content already stands under that name
        continue;
      }
      nameOfContent.try_emplace(HashPrefix(f.digest), i);
    }
    stored[i] = true;
  }
  return stored;
}

// Step 4: the records, an unreadable file's previous one where it holds.
NamingResult Naming::Records(const std::vector<bool>& stored) const {
  NamingResult result;
  result.records.reserve(n_ + 1);
  for (uint32_t i = 0; i < n_; ++i) {
    const ScannedFile& f = files_[i];
    if (status_[i] == Status::kUnreadable) {
      // The previous record's copy stays valid when its name is not
      // rewritten today: only the owner of a name, if present, rewrites it.
      const auto prev = PreviousOf(i);
      if (!prev) continue;
      const int64_t owner = OwnerOf(prev->storedName);
      if (owner >= 0 && owner != i) continue;
      result.records.push_back(std::move(*prev));
      continue;
    }
    if (stored[i]) {
      const auto position = static_cast<uint32_t>(result.records.size());
      result.queued.push_back(position);
      if (lostCopy_[i]) result.recopied.push_back(position);
    }
    result.records.push_back(FileRecordOf(f.digest.size, f.digest.checksum, NameOf(i), f.path,
                                          f.attributes, f.fileDate));
  }
  return result;
}

}  // namespace

NamingResult AssignStoredNames(const PathRules& rules, const std::deque<ScannedFile>& files,
                               const std::vector<std::string>& previousList,
                               const std::function<bool(std::string_view)>& copyUsable) {
  Naming naming(rules, files, previousList);
  naming.KeepUnchanged(copyUsable);
  naming.ConfirmBorrowedNames();
  const std::vector<bool> stored = naming.NameByContent();
  return naming.Records(stored);
}

}  // namespace varnoket
