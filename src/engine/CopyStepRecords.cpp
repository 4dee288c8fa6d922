// The copy step's part that keeps the day's list true when a file's copy
// does not go as the scan planned: a file that cannot be read keeps its
// previous record or leaves the list, a file that changed since the scan
// gets the record of what was stored, and the files that shared its stored
// name get names of their own.
#include <cerrno>
#include <cstring>

#include "engine/CopyStep.h"
#include "engine/LeftOut.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

void CopyStep::SkipUnreadable(const FileRecord& rec, int systemError) {
  const std::string shown = ShownText(rec.fullPath);
  ctx_.Log(UnreadableFileLine(shown, systemError));
  ctx_.leftOut.Add(LeftOutCause::kUnreadableFile);
  NotStored(rec);
}

// The file changed between the scan and its copy: its record now describes
// what was stored, and the files that shared its name get their own.
FileRecord CopyStep::ChangedSinceScan(const FileRecord& rec, const ContentDigest& stored,
                                      FileStream& source) {
  uint32_t attributes = 0;
  int32_t date = 0;
  if (const auto now = ctx_.fs.StatStream(source)) {
    attributes = now->attributes;
    date = now->dosDate;
  }
  FileRecord updated =
      FileRecordOf(stored.size, stored.checksum, rec.storedName, rec.fullPath, attributes, date);
  ReplaceRecord(rec.fullPath, updated);
  GiveOwnNamesToSharers(rec);
  return updated;
}

// The content could not be stored today: the file keeps its previous
// record when that record's copy stays valid, else it leaves today's list.
void CopyStep::NotStored(const FileRecord& rec) {
  QueuedNames().erase(rec.storedName);
  GiveOwnNamesToSharers(rec);
  FileRecord replacement;  // none: an empty path
  if (auto prev = PreviousRecord(rec.fullPath)) {
    const bool nameFree =
        queuedNames_.count(prev->storedName) == 0 && staleNames_.count(prev->storedName) == 0;
    const std::string ownerPath = ctx_.rules.PathOfStoredName(prev->storedName);
    const bool ownerAbsent = ownerPath.empty() || details_.Find(ownerPath) == nullptr;
    if (nameFree && (ownerAbsent || ownerPath == rec.fullPath)) replacement = std::move(*prev);
  }
  ReplaceRecord(rec.fullPath, replacement);
}

void CopyStep::GiveOwnNamesToSharers(const FileRecord& rec) {
  auto& list = ctx_.currentFileList;
  for (uint32_t j = 0; j < list.size(); ++j) {
    FileRecord& other = list[j];
    if (other.fullPath.empty() || other.storedName != rec.storedName ||
        other.fullPath == rec.fullPath) {
      continue;
    }
    other.storedName = ctx_.rules.StoredName(other.fullPath);
    if (QueuedNames().insert(other.storedName).second) queue_.push_back(j);
  }
}

// A replacement with an empty path takes the record out of the day's list;
// the entry stays, so that queued positions keep their meaning.
void CopyStep::ReplaceRecord(const std::string& path, const FileRecord& replacement) {
  for (FileRecord& record : ctx_.currentFileList) {
    if (record.IsDirectory() || record.fullPath != path) continue;
    record = replacement;
    return;
  }
}

std::optional<FileRecord> CopyStep::PreviousRecord(const std::string& path) const {
  for (const std::string& line : ctx_.previousFileList) {
    const auto r = ViewFileRecord(line);
    if (r && !r->IsDirectory() && r->fullPath == path &&
        ctx_.rules.IsSafeStoredName(r->storedName)) {
      return ParseFileRecord(line);
    }
  }
  return std::nullopt;
}

// The names stored today, gathered when first needed: the common run
// never needs them.
std::set<std::string>& CopyStep::QueuedNames() {
  if (!namesGathered_) {
    namesGathered_ = true;
    for (uint32_t j : queue_) {
      const FileRecord& record = ctx_.currentFileList[j];
      if (!record.fullPath.empty()) queuedNames_.emplace(record.storedName);
    }
  }
  return queuedNames_;
}

}  // namespace varnoket
