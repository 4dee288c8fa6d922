#include "support/StoreFixture.h"

#include <filesystem>

#include "engine/DayFolders.h"
#include "engine/DaySet.h"
#include "engine/FileRecord.h"
#include "engine/StoreLayout.h"
#include "platform/TextLines.h"
#include "restore/CheckedList.h"
#include "restore/RestoreExecution.h"
#include "restore/RestoreItem.h"
#include "settings/StoreMarker.h"
#include "support/RecordingRestoreHost.h"

namespace varnoket::test {

StoreFixture::StoreFixture(FileSystem& fileSystem)
    : fs(fileSystem), ctx(fileSystem, clock, host, dialogs, station) {
  source = tmp / "src";
  root = tmp / "store";
  std::filesystem::create_directories(source);
  std::filesystem::create_directories(root);
  SetDay(1, 3, 2006);
  const PathRules rules(PathStyle::kPosix);
  if (!MarkStore(fs, root)) throw std::runtime_error("store not marked");
  if (!LoadStationSettings(fs, dialogs, station, root, stationName, rules)) {
    throw std::runtime_error("station settings not created");
  }
  station.backupDirectories = {source};
  ctx.backupRoot = root;
  ctx.stationName = stationName;
}

void StoreFixture::SetDay(int day, int month, int year, int hour) {
  clock.Set(LocalDateTime{year, month, day, hour, 0, 0, 0});
}

BackupOutcome StoreFixture::Backup() {
  host = RecordingHost();
  ctx.daysKept = daysKept;
  return RunBackup(ctx);
}

std::string StoreFixture::Write(const std::string& relative, const std::string& contents) {
  const std::string path = source + "/" + relative;
  WriteFile(path, contents);
  return path;
}

void StoreFixture::Remove(const std::string& relative) {
  std::filesystem::remove_all(source + "/" + relative);
}

std::map<std::string, std::string> StoreFixture::Snapshot() const {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(source)) {
    if (e.is_regular_file()) files[e.path().string()] = ReadFile(e.path().string());
  }
  return files;
}

std::vector<std::string> StoreFixture::Days() {
  return SortedDayFolders(fs, ctx.rules, ctx.Layout().StationFolder());
}

std::string StoreFixture::DayFolder(const std::string& folderName) const {
  return ctx.Layout().DayFolder(folderName);
}

std::vector<std::string> StoreFixture::FileList(const std::string& folderName) const {
  return SplitLines(ReadFile(ctx.Layout().FileListPath(DayFolder(folderName))));
}

RestoredDay StoreFixture::RestoreDay(const std::string& folderName) {
  RestoredDay day;
  const auto days = Days();
  size_t index = 0;
  while (index < days.size() && days[index] != folderName) ++index;
  if (index == days.size()) throw std::runtime_error("no such day " + folderName);
  const std::string target = tmp / ("restore-" + std::to_string(++restoreCount_));
  // The day's list read as every restore reads it: checked line by line.
  const std::string dayFolder = DayFolder(folderName);
  const auto list = ReadCheckedList(fs, ctx.Layout().FileListPath(dayFolder), ctx.rules,
                                    ReadDaySet(fs, ctx.Layout(), dayFolder));
  if (!list) throw std::runtime_error("unreadable list of " + folderName);
  for (const UnreadableLine& line : list->unreadable) {
    ++day.errors;
    day.report.push_back(UnreadableLineText(line));
  }
  for (const ListEntry& rec : list->entries) {
    if (rec.IsDirectory()) continue;
    RestoreEntry entry{rec.fullPath, rec.storedName, rec.attributes, rec.fileDate, rec.Content()};
    RecordingRestoreHost report;
    const std::vector<std::string>& lines = report.lines;
    const auto r = RestoreItem(fs, ctx.Layout(), days, index, entry, target + rec.fullPath, report);
    if (r.status != RestoreStatus::kRestored) {
      ++day.errors;
      day.report.insert(day.report.end(), lines.begin(), lines.end());
      continue;
    }
    day.files[rec.fullPath] = ReadFile(target + rec.fullPath);
  }
  return day;
}

}  // namespace varnoket::test
