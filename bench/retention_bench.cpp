// retention-bench: how much of a station's store no kept day needs.
// A backup set of 100 files of random bytes; each day 10 of them are renamed
// and the engine backs the set up with MAXSAVE=4 under a manual clock, for
// 20 days. After each run it resolves every record of every kept day as a
// restore does (the day's folder, then each older day, newest first) and
// counts the bytes of the stored files (each file once, hard links counted
// once) that no such record reaches. Prints the share per day and at the end.
#include <sys/stat.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/BackupContext.h"
#include "engine/BackupRun.h"
#include "engine/DayFolders.h"
#include "engine/FileRecord.h"
#include "engine/StoreLayout.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "settings/StationSettings.h"

namespace {

namespace fsys = std::filesystem;
using namespace varnoket;

constexpr int kFiles = 100;
constexpr int kRenamedPerDay = 10;
constexpr int kDaysKept = 4;
constexpr int kDays = 20;

class SilentDialogs final : public Dialogs {
 public:
  DialogAnswer Error(const std::string& text, DialogButtons) override {
    std::fprintf(stderr, "retention-bench: %s\n", text.c_str());
    return DialogAnswer::kOk;
  }
  DialogAnswer Warning(const std::string&, DialogButtons) override { return DialogAnswer::kOk; }
  void Information(const std::string&) override {}
  void Message(const std::string&) override {}
};

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Bytes of the stored files (inode -> size), and the inodes a restore of
// some kept day reads.
struct StoreUse {
  uint64_t total = 0;
  uint64_t unneeded = 0;
};

StoreUse MeasureStore(const StoreLayout& layout) {
  FileSystem& fs = DefaultFileSystem();
  const auto days = SortedDayFolders(fs, layout.rules(), layout.StationFolder());
  using Inode = std::pair<uint64_t, uint64_t>;
  std::set<Inode> needed;
  for (size_t d = 0; d < days.size(); ++d) {
    const auto lines = ReadListFile(fs, layout.FileListPath(layout.DayFolder(days[d])));
    if (!lines) continue;
    for (const auto& line : *lines) {
      const auto rec = ViewFileRecord(line);
      if (!rec || rec->IsDirectory()) continue;
      for (size_t k = d + 1; k-- > 0;) {
        const std::string path =
            layout.StoredFilePath(layout.DayFolder(days[k]), std::string(rec->storedName));
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
          needed.emplace(st.st_dev, st.st_ino);
          break;
        }
      }
    }
  }
  StoreUse use;
  std::set<Inode> seen;
  for (const auto& e : fsys::recursive_directory_iterator(layout.StationFolder())) {
    if (!e.is_regular_file() || e.path().filename() == kFileListName) continue;
    if (e.path().parent_path() == fsys::path(layout.StationFolder())) continue;  // settings, log
    struct stat st {};
    if (::stat(e.path().c_str(), &st) != 0) continue;
    const Inode inode{st.st_dev, st.st_ino};
    if (!seen.insert(inode).second) continue;
    const auto size = static_cast<uint64_t>(st.st_size);
    use.total += size;
    if (needed.count(inode) == 0) use.unneeded += size;
  }
  return use;
}

int Run() {
  std::string pattern = (fsys::temp_directory_path() / "retention-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 2;
  const std::string work = pattern;
  const std::string source = work + "/src";
  const std::string root = work + "/store";
  fsys::create_directories(source);
  fsys::create_directories(root);

  std::mt19937 gen(20240601);
  std::vector<std::string> names;
  for (int i = 0; i < kFiles; ++i) {
    std::string bytes(4096 + gen() % 16384, '\0');
    for (auto& c : bytes) c = static_cast<char>(gen());
    names.push_back("f" + std::to_string(i) + ".dat");
    WriteBytes(source + "/" + names.back(), bytes);
  }

  ManualClock clock;
  BackupHost host;
  SilentDialogs dialogs;
  StationSettings station;
  const PathRules rules(PathStyle::kPosix);
  const std::string stationName = "BENCH";
  if (!LoadStationSettings(DefaultFileSystem(), dialogs, station, root, stationName, rules)) {
    return 2;
  }
  station.backupDirectories = {source};
  BackupContext ctx(DefaultFileSystem(), clock, host, dialogs, station);
  ctx.backupRoot = root;
  ctx.stationName = stationName;
  ctx.daysKept = kDaysKept;

  StoreUse use;
  int renames = 0;
  for (int day = 1; day <= kDays; ++day) {
    if (day > 1) {
      for (int r = 0; r < kRenamedPerDay; ++r) {
        auto& name = names[gen() % names.size()];
        const std::string renamed = "r" + std::to_string(++renames) + ".dat";
        fsys::rename(source + "/" + name, source + "/" + renamed);
        name = renamed;
      }
    }
    clock.Set(LocalDateTime{2026, 3, day, 14, 0, 0, 0});
    if (RunBackup(ctx) != BackupOutcome::kCompleted) {
      std::fprintf(stderr, "retention-bench: the run of day %d did not complete\n", day);
      return 1;
    }
    use = MeasureStore(ctx.Layout());
    std::printf("day %2d: %8" PRIu64 " stored bytes, %8" PRIu64 " needed by no kept day (%.1f%%)\n",
                day, use.total, use.unneeded,
                use.total == 0
                    ? 0.0
                    : 100.0 * static_cast<double>(use.unneeded) / static_cast<double>(use.total));
  }
  std::printf(
      "%d files, %d renamed a day, MAXSAVE=%d, %d days: %.1f%% of stored bytes needed by "
      "no kept day\n",
      kFiles, kRenamedPerDay, kDaysKept, kDays,
      use.total == 0 ? 0.0
                     : 100.0 * static_cast<double>(use.unneeded) / static_cast<double>(use.total));
  std::error_code ec;
  fsys::remove_all(work, ec);
  return 0;
}

}  // namespace

int main() {
  return Run();
}
