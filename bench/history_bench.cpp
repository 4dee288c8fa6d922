// history-bench: how long the history views take on a large store. Writes
// the file lists of 30 backup days of 200,000 records each (1 % of the files
// changed every day, one watched file every third day) into a temporary
// station, then times the versions of the watched file across the 30 days,
// a name search in one day and in every day, and the changes of the last
// day. The stored copies are not written: these views read the lists only.
#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/FileRecord.h"
#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "platform/TextLines.h"
#include "restore/DayChanges.h"
#include "restore/FileVersions.h"
#include "restore/NameSearch.h"

namespace {

namespace fsys = std::filesystem;
using namespace varnoket;
using WallClock = std::chrono::steady_clock;

constexpr int kDays = 30;
constexpr int kRecords = 200000;
constexpr int kWatched = 123457;  // the file whose versions are asked for

struct SourceFile {
  std::string path;
  int64_t size = 0;
  uint32_t checksum = 0;
  int32_t date = 0;
};

std::string PathOf(int i) {
  char text[128];
  std::snprintf(text, sizeof text, "/home/anna/Documents/projet-%03d/dossier-%02d/fichier-%06d%s",
                i / 1000, (i / 50) % 20, i, i % 7 == 0 ? ".odt" : ".txt");
  return text;
}

double Seconds(WallClock::time_point since) {
  return std::chrono::duration<double>(WallClock::now() - since).count();
}

}  // namespace

int main() {
  const fsys::path root =
      fsys::temp_directory_path() / ("history-bench-" + std::to_string(::getpid()));
  const StoreLayout layout(PathRules(PathStyle::kPosix), root.string(), "POSTE");
  std::mt19937 random(7);
  std::vector<SourceFile> files(kRecords);
  for (int i = 0; i < kRecords; ++i) {
    files[i] = {PathOf(i), static_cast<int64_t>(random() % 100000), static_cast<uint32_t>(random()),
                static_cast<int32_t>(0x5c000000 + i)};
  }

  std::vector<std::string> days;
  const auto writing = WallClock::now();
  for (int d = 0; d < kDays; ++d) {
    if (d > 0) {
      for (int k = 0; k < kRecords / 100; ++k) {
        const size_t i = random() % kRecords;
        if (i == kWatched) continue;  // it changes on its own days only
        SourceFile& f = files[i];
        f.checksum = static_cast<uint32_t>(random());
        ++f.date;
      }
      if (d % 3 == 0) {
        files[kWatched].size += 10;
        ++files[kWatched].date;
      }
    }
    char folder[16];
    std::snprintf(folder, sizeof folder, "%02d%02d2026", d % 28 + 1, d / 28 + 1);
    days.push_back(folder);
    std::vector<std::string> lines;
    lines.reserve(kRecords);
    for (const SourceFile& f : files) {
      lines.push_back(FormatFileRecord(f.size, f.checksum, layout.rules().StoredName(f.path),
                                       f.path, 33188, f.date));
    }
    SortOrdinal(lines);
    const std::string dayFolder = layout.DayFolder(folder);
    fsys::create_directories(dayFolder);
    std::ofstream(layout.FileListPath(dayFolder), std::ios::binary) << JoinLines(lines);
  }
  std::printf(
      "wrote %d days of %d records in %.1f s (%" PRIuMAX " MB of lists)\n", kDays, kRecords,
      Seconds(writing),
      static_cast<uintmax_t>(fsys::file_size(layout.FileListPath(layout.DayFolder(days[0]))) *
                             kDays / 1000000));

  FileSystem& fs = DefaultFileSystem();
  auto start = WallClock::now();
  const FileHistory history = FileVersions(fs, layout, days, PathOf(kWatched));
  std::printf("versions of one file over %d days: %.3f s, %zu versions\n", kDays, Seconds(start),
              history.versions.size());

  start = WallClock::now();
  const auto inDay = FindFilesInDay(fs, layout, days.back(), "FICHIER-0012*.ODT");
  std::printf("search in one day of %d records: %.3f s, %zu files\n", kRecords, Seconds(start),
              inDay ? inDay->size() : 0);

  start = WallClock::now();
  const NameSearchResult inAll = FindFilesInAllDays(fs, layout, days, "fichier-0012*.odt");
  std::printf("search in every day: %.3f s, %zu files\n", Seconds(start), inAll.files.size());

  start = WallClock::now();
  const auto changes = ChangesOfDay(fs, layout, days, days.size() - 1);
  std::printf("changes of the last day: %.3f s, %zu files\n", Seconds(start),
              changes ? changes->changes.size() : 0);

  fsys::remove_all(root);
  return history.versions.size() == (kDays - 1) / 3 + 1 ? 0 : 1;
}
