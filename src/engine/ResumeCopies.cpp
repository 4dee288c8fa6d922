#include "engine/ResumeCopies.h"

#include <climits>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/Checksum.h"
#include "engine/FileRecord.h"
#include "platform/DecimalText.h"
#include "platform/TextLines.h"

namespace varnoket {

namespace {

constexpr const char* kCopyPrefix = "copy-";

// The number of a copy's name, 0 when the name is no copy's.
uint64_t CopyNumber(std::string_view name) {
  const std::string_view prefix(kCopyPrefix);
  if (name.substr(0, prefix.size()) != prefix) return 0;
  uint64_t n = 0;
  return ParseDecimal(name.substr(prefix.size()), n) ? n : 0;
}

// The weighted sum of a part line without its own sum field.
uint32_t LineSum(std::string_view fields, std::string_view path) {
  WeightedSum sum;
  sum.Update(fields.data(), fields.size());
  sum.Update(path.data(), path.size());
  return sum.Value();
}

std::string NameOf(const std::string& copyPath) {
  const size_t slash = copyPath.find_last_of('/');
  return slash == std::string::npos ? copyPath : copyPath.substr(slash + 1);
}

constexpr const char* kPartTag = "part";
constexpr std::string_view kFlushedTag = "flushed\t";
constexpr size_t kPartFields = 14;

}  // namespace

ResumeCopies::ResumeCopies(FileSystem& fs, const StoreLayout& layout) : fs_(fs), layout_(layout) {}

std::string ResumeCopies::Folder() const {
  return layout_.rules().Join(layout_.StationFolder(), kResumeFolderName);
}

std::string ResumeCopies::JournalPath() const {
  return layout_.rules().Join(Folder(), kResumeJournalName);
}

std::string ResumeCopies::NoteLine(const std::string& copy, int64_t bytes,
                                   const std::string& record) {
  return copy + "\t" + std::to_string(bytes) + "\t" + record + "\n";
}

std::string ResumeCopies::PartLine(const PartNote& p) {
  const std::string fields =
      std::string(kPartTag) + "\t" + NameOf(p.copy) + "\t" + std::to_string(p.sourceOffset) + "\t" +
      std::to_string(p.copyBytes) + "\t" + std::to_string(p.stream.combinedCrc) + "\t" +
      std::to_string(p.stream.partial) + "\t" + std::to_string(p.stream.partialBits) + "\t" +
      std::to_string(p.sourceSize) + "\t" + std::to_string(p.modifiedNs) + "\t" +
      std::to_string(p.changedNs) + "\t" + std::to_string(p.decodedSum) + "\t" +
      std::to_string(p.storedSum) + "\t";
  return fields + std::to_string(LineSum(fields, p.path)) + "\t" + p.path + "\n";
}

bool ResumeCopies::LoadPart(const std::string& line) {
  // The path comes last and may hold tabs itself.
  std::vector<std::string_view> f;
  size_t from = 0;
  while (f.size() + 1 < kPartFields) {
    const size_t tab = line.find('\t', from);
    if (tab == std::string::npos) return false;
    f.push_back(std::string_view(line).substr(from, tab - from));
    from = tab + 1;
  }
  f.push_back(std::string_view(line).substr(from));
  PartNote p;
  uint64_t crc = 0, partial = 0, bits = 0, decoded = 0, stored = 0, lineSum = 0;
  if (f[0] != kPartTag || CopyNumber(f[1]) == 0 || !ParseDecimal(f[2], p.sourceOffset) ||
      !ParseDecimal(f[3], p.copyBytes) || !ParseDecimal(f[4], crc) ||
      !ParseDecimal(f[5], partial) || !ParseDecimal(f[6], bits) ||
      !ParseDecimal(f[7], p.sourceSize) || !ParseDecimal(f[8], p.modifiedNs) ||
      !ParseDecimal(f[9], p.changedNs) || !ParseDecimal(f[10], decoded) ||
      !ParseDecimal(f[11], stored) || !ParseDecimal(f[12], lineSum) || f[13].empty()) {
    return false;
  }
  const size_t sumField = static_cast<size_t>(f[12].data() - line.data());
  if (lineSum != LineSum(std::string_view(line).substr(0, sumField), f[13])) return false;
  // Past the stream's header, short of the source's end, and no more
  // waiting bits than a byte lacks.
  if (crc > UINT32_MAX || decoded > UINT32_MAX || stored > UINT32_MAX || bits > 7 ||
      partial >= (uint64_t{1} << bits) || p.copyBytes < 4 || p.sourceOffset == 0 ||
      p.sourceOffset >= p.sourceSize) {
    return false;
  }
  p.decodedSum = static_cast<uint32_t>(decoded);
  p.storedSum = static_cast<uint32_t>(stored);
  p.stream = {static_cast<uint32_t>(crc), static_cast<uint32_t>(partial), static_cast<int>(bits)};
  p.copy = layout_.rules().Join(Folder(), std::string(f[1]));
  p.path = std::string(f[13]);
  const auto copy = fs_.Stat(p.copy);
  if (!copy || !copy->isRegularFile || copy->size < p.copyBytes) return false;
  const uint64_t number = CopyNumber(f[1]);
  if (number >= nextNumber_) nextNumber_ = number + 1;
  parts_[std::string(f[1])] = std::move(p);  // a later note of the copy goes further
  return true;
}

std::optional<PartNote> ResumeCopies::KeepPart(const std::string& path, uint64_t size) {
  for (auto it = parts_.begin(); it != parts_.end(); ++it) {
    if (it->second.path != path || it->second.sourceSize != size) continue;
    keptParts_.push_back(std::move(it->second));
    parts_.erase(it);
    return keptParts_.back();
  }
  return std::nullopt;
}

void ResumeCopies::NotePart(const PartNote& part) {
  pending_ += PartLine(part);
}

void ResumeCopies::Load() {
  noted_.clear();
  byPath_.clear();
  parts_.clear();
  keptParts_.clear();
  const auto text = fs_.ReadFile(JournalPath());
  if (!text) return;
  // A line without its end was being written when the run died.
  const size_t whole = text->rfind('\n');
  if (whole == std::string::npos) return;
  // A copy's check comes after its flush: a checked note of a copy wins.
  std::map<std::string, Noted> byCopy;
  for (const std::string& line : SplitLines(text->substr(0, whole + 1))) {
    if (line.rfind(kPartTag, 0) == 0 && LoadPart(line)) continue;
    const bool flushed = line.rfind(kFlushedTag, 0) == 0;
    auto n = LoadNote(std::string_view(line).substr(flushed ? kFlushedTag.size() : 0));
    if (!n) continue;
    n->checked = !flushed;
    const auto [it, fresh] = byCopy.try_emplace(n->copy, *n);
    if (!fresh && n->checked) it->second = std::move(*n);
  }
  for (auto& [name, n] : byCopy) {
    const auto it = noted_.emplace(n.record.fullPath, std::move(n));
    byPath_[layout_.rules().Join(Folder(), it->second.copy)] = &it->second;
  }
  // A copy noted whole went past all its parts.
  for (const auto& [path, n] : noted_) parts_.erase(n.copy);
}

std::optional<ResumeCopies::Noted> ResumeCopies::LoadNote(std::string_view line) {
  const size_t tab1 = line.find('\t');
  const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
  if (tab2 == std::string::npos) return std::nullopt;
  Noted n;
  n.copy = std::string(line.substr(0, tab1));
  uint64_t bytes = 0;
  const uint64_t number = CopyNumber(n.copy);
  if (number == 0 || !ParseDecimal(line.substr(tab1 + 1, tab2 - tab1 - 1), bytes) ||
      bytes > static_cast<uint64_t>(INT64_MAX)) {
    return std::nullopt;
  }
  const auto record = ParseFileRecord(std::string(line.substr(tab2 + 1)));
  if (!record || record->IsDirectory()) return std::nullopt;
  if (!fs_.IsFile(layout_.rules().Join(Folder(), n.copy))) return std::nullopt;
  n.bytes = static_cast<int64_t>(bytes);
  n.record = *record;
  if (number >= nextNumber_) nextNumber_ = number + 1;
  return n;
}

std::optional<NotedCopy> ResumeCopies::Adopt(const FileRecord& record, int64_t bytes) {
  const auto [from, to] = noted_.equal_range(record.fullPath);
  for (auto it = from; it != to; ++it) {
    Noted& n = it->second;
    if (n.adopted || n.bytes != bytes || n.record.size != record.size ||
        n.record.checksum != record.checksum || n.record.fileDate != record.fileDate) {
      continue;
    }
    n.adopted = true;
    ++adopted_;
    return NotedCopy{layout_.rules().Join(Folder(), n.copy), n.checked};
  }
  return std::nullopt;
}

void ResumeCopies::Settle(const std::string& path, bool sound) {
  const auto it = byPath_.find(path);
  if (it == byPath_.end() || !it->second->adopted) return;
  Noted& n = *it->second;
  if (sound) {
    n.checked = true;
  } else {
    n.adopted = false;
    --adopted_;
  }
}

void ResumeCopies::DropTheRest() {
  const auto entries = fs_.ListDirectory(Folder());
  if (!entries) return;
  std::string journal;
  std::map<std::string, bool> keep;
  for (const auto& [path, n] : noted_) {
    if (!n.adopted) continue;
    keep[n.copy] = true;
    journal +=
        (n.checked ? "" : std::string(kFlushedTag)) + NoteLine(n.copy, n.bytes, n.record.Format());
  }
  for (const PartNote& p : keptParts_) {
    keep[NameOf(p.copy)] = true;
    journal += PartLine(p);
  }
  // The journal first: it must never name a copy that is gone.
  if (journal.empty()) {
    fs_.DeleteFile(JournalPath());
  } else if (!fs_.WriteFileAtomic(JournalPath(), journal)) {
    return;  // the old journal stays true; the files stay with it
  }
  for (const DirEntry& e : *entries) {
    if (e.isDirectory || e.name == kResumeJournalName || keep.count(e.name) != 0) continue;
    fs_.DeleteFile(layout_.rules().Join(Folder(), e.name));
  }
}

std::string ResumeCopies::NewCopyPath() {
  if (!folderReady_) folderReady_ = fs_.CreateDirectories(Folder()).ok();
  return layout_.rules().Join(Folder(), kCopyPrefix + std::to_string(nextNumber_++));
}

void ResumeCopies::Note(const std::string& copyPath, const std::string& recordLine, int64_t bytes) {
  pending_ += NoteLine(NameOf(copyPath), bytes, recordLine);
}

void ResumeCopies::NoteFlushed(const std::string& copyPath, const std::string& recordLine,
                               int64_t bytes) {
  pending_ += std::string(kFlushedTag) + NoteLine(NameOf(copyPath), bytes, recordLine);
}

bool ResumeCopies::WriteNotes() {
  if (pending_.empty()) return true;
  std::string lines;
  lines.swap(pending_);
  const bool exists = fs_.Exists(JournalPath());
  return fs_.AppendToFile(JournalPath(), lines, !exists).ok();
}

void ResumeCopies::Clear() {
  pending_.clear();
  const auto entries = fs_.ListDirectory(Folder());
  if (!entries) return;
  fs_.DeleteFile(JournalPath());
  for (const DirEntry& e : *entries) {
    if (!e.isDirectory) fs_.DeleteFile(layout_.rules().Join(Folder(), e.name));
  }
  fs_.RemoveDirectory(Folder());
  folderReady_ = false;
}

}  // namespace varnoket
