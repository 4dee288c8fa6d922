#include "restore/VerifyDay.h"

#include <memory>
#include <optional>

#include "engine/BZip2.h"
#include "engine/Checksum.h"
#include "engine/FileRecord.h"
#include "restore/OrderedJobs.h"
#include "restore/StoredFileLookup.h"

namespace varnoket {

namespace {

// Takes decoded bytes and keeps only their count and checksum.
class ChecksumSink final : public Stream {
 public:
  size_t Read(void*, size_t) override { throw StreamError("Invalid stream operation"); }
  size_t Write(const void* buffer, size_t count) override {
    sum_.Update(buffer, count);
    size_ += static_cast<int64_t>(count);
    return count;
  }
  int64_t Seek(int64_t, SeekOrigin) override { return size_; }
  int64_t size() const { return size_; }
  uint32_t checksum() const { return sum_.Value(); }

 private:
  WeightedSum sum_;
  int64_t size_ = 0;
};

// The check of one record's stored copy: no line when it is sound, else the
// line that says what is wrong.
std::optional<std::string> CheckStoredCopy(FileSystem& fs, const StoreLayout& layout,
                                           const std::vector<std::string>& dayFolders,
                                           size_t dayIndex, const FileRecord& rec) {
  const std::string& day = dayFolders[dayIndex];
  const auto stored = FindStoredFile(fs, layout, dayFolders, dayIndex, rec.storedName);
  if (!stored) return day + ": copie absente (" + rec.storedName + ") pour " + rec.fullPath;
  ChecksumSink sink;
  DecompressResult r;
  try {
    auto in = fs.OpenRead(*stored);
    r = DecompressFile(*in, sink);
  } catch (const std::exception& e) {
    return day + ": copie endommagée (" + *stored + ", " + e.what() + ") pour " + rec.fullPath;
  }
  if (!r.complete) return day + ": copie tronquée (" + *stored + ") pour " + rec.fullPath;
  const auto low = static_cast<int32_t>(static_cast<uint32_t>(sink.size()));
  if (std::to_string(low) != rec.size || std::to_string(sink.checksum()) != rec.checksum) {
    return day + ": contenu différent (" + *stored + ": taille " + std::to_string(low) +
           ", somme " + std::to_string(sink.checksum()) + "; liste: taille " + rec.size +
           ", somme " + rec.checksum + ") pour " + rec.fullPath;
  }
  return std::nullopt;
}

// What one record's work leaves for its finish step.
struct Check {
  FileRecord rec;
  std::optional<std::string> line;
};

}  // namespace

VerifyCounts VerifyDay(FileSystem& fs, const StoreLayout& layout,
                       const std::vector<std::string>& dayFolders, size_t dayIndex,
                       RestoreHost& host, unsigned workers) {
  VerifyCounts counts;
  auto problem = [&counts, &host](const std::string& text) {
    ++counts.problems;
    host.Report(text);
  };
  const std::string day = dayIndex < dayFolders.size() ? dayFolders[dayIndex] : "";
  const std::string listPath = layout.FileListPath(layout.DayFolder(day));
  const auto text = fs.ReadFile(listPath);
  if (day.empty() || !text) {
    problem("ERREUR: impossible de lire le fichier (" + listPath + ")");
    return counts;
  }
  OrderedJobs jobs(workers, host);
  for (const std::string& line : SplitLines(*text)) {
    auto rec = ParseFileRecord(line);
    if (!rec) {
      if (!line.empty()) {
        jobs.AddDone([&problem, said = day + ": ligne illisible: " + line] { problem(said); });
      }
      continue;
    }
    if (rec->IsDirectory() || rec->last == "1") continue;
    ++counts.checked;
    auto check = std::make_shared<Check>();
    check->rec = std::move(*rec);
    jobs.Add(
        [check, &fs, &layout, &dayFolders, dayIndex] {
          check->line = CheckStoredCopy(fs, layout, dayFolders, dayIndex, check->rec);
        },
        [check, &problem] {
          if (check->line) problem(*check->line);
        });
  }
  jobs.Drain();
  return counts;
}

}  // namespace varnoket
