// Whole backup runs in which one file-system call fails, for every call the
// run makes in turn: the run must stop cleanly or complete, every day the
// store still lists must restore what the source held that day, and the next
// run without faults must complete and leave every day restorable.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>

#include "engine/BackupRun.h"
#include "engine/FileRecord.h"
#include "engine/BZip2.h"
#include "restore/RestoreItem.h"
#include "restore/StoredFileLookup.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;
using Files = std::map<std::string, std::string>;  // full path -> bytes

std::string Bytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen() % 7);  // compressible, as most files are
  return s;
}

// Whether `path` is `folder` or lies in it; a folder may end in "/".
bool Under(const std::string& path, std::string folder) {
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return path == folder || path.rfind(folder + "/", 0) == 0;
}

struct SweepCase {
  int dayUnderTest;  // the run swept, on day N of the scenario
  bool sticky;       // every call from the k-th on fails, as on a disk that stays full
};

class FaultSweepTest : public ::testing::TestWithParam<SweepCase> {
 protected:
  FaultSweepTest() {
    f.daysKept = 2;
    disk.flushes = false;
  }

  // The backup set as it is changed on the morning of each day: renamed,
  // edited, deleted and new files, twins that share one stored copy, an empty
  // folder and an empty file.
  void ChangeSource(int day) {
    switch (day) {
      case 1:
        f.Write("docs/report.txt", "report, first draft");
        f.Write("docs/shared.dat", Bytes(3000, 1));
        f.Write("pics/copy-of-shared.dat", Bytes(3000, 1));
        f.Write("pics/deep/photo.bin", Bytes(20000, 2));
        f.Write("notes.txt", "notes of the first day");
        f.Write("empty-file", "");
        fsys::create_directories(f.source + "/empty-folder");
        break;
      case 2:
        f.Write("docs/report.txt", "report, second draft, longer");
        f.Remove("notes.txt");
        f.Write("archive/notes.txt", "notes of the first day");
        f.Write("new.txt", "new on the second day");
        f.Write("pics/deep/photo.bin", Bytes(20000, 3));
        break;
      case 3:
        f.Write("docs/report.txt", "report, third draft");
        f.Write("docs/report-copy.txt", "report, third draft");
        f.Remove("docs/shared.dat");
        f.Remove("new.txt");
        f.Write("later/inside/file.txt", "a folder of the third day");
        break;
      default:
        f.Write("new.txt", "back on day " + std::to_string(day));
        f.Write("pics/deep/photo.bin", Bytes(20000, static_cast<unsigned>(day)));
        f.Remove("archive");
        break;
    }
  }

  std::string DayName(int day) const { return DayFolderName({day, 3, 2006}); }

  void StartDay(int day) {
    ChangeSource(day);
    f.SetDay(day, 3, 2006);
    const Files now = f.Snapshot();
    for (const auto& [path, bytes] : now) versions_[path].insert(bytes);
    expected_[DayName(day)] = now;
  }

  // Puts the store and the station's settings back as they were before the
  // run under test.
  void SaveStore() {
    fsys::copy(f.root, saved_.path() + "/store", fsys::copy_options::recursive);
    savedDate_ = f.station.lastBackupDate;
  }
  void ResetStore() {
    fsys::remove_all(f.root);
    fsys::copy(saved_.path() + "/store", f.root, fsys::copy_options::recursive);
    f.station.file->Reload();
    f.station.lastBackupDate = savedDate_;
  }

  // Restores every file of a listed day and compares it with what the source
  // held; files under `relaxed` may instead hold an older version or be left
  // out, as a file that could not be read is. With `toDisk` the files go
  // through the whole restore of the program into a temporary folder;
  // without, each stored copy is found as that restore finds it and decoded
  // in memory, which costs far less on a busy disk. Returns the first
  // difference, "" when there is none.
  std::string CheckDay(const std::string& day, const std::vector<std::string>& relaxed,
                       bool toDisk) {
    const auto days = f.Days();
    const size_t index =
        static_cast<size_t>(std::find(days.begin(), days.end(), day) - days.begin());
    const StoreLayout layout = f.ctx.Layout();
    const auto lines = ReadListFile(clean_, layout.FileListPath(f.DayFolder(day)));
    if (!lines) return day + ": list unreadable";
    if (!std::is_sorted(lines->begin(), lines->end())) return day + ": list out of order";
    TempDir target;
    Files restored;
    for (const std::string& line : *lines) {
      const auto rec = ParseFileRecord(line);
      if (!rec) return day + ": bad record " + line;
      if (rec->IsDirectory()) continue;
      if (!toDisk) {
        const auto stored = FindStoredFile(clean_, layout, days, index, rec->storedName);
        if (!stored) return day + ": no stored copy for " + rec->fullPath;
        MemoryStream bytes;
        try {
          if (!DecompressFile(*clean_.OpenRead(*stored), bytes).complete) {
            return day + ": truncated copy of " + rec->fullPath;
          }
        } catch (const std::exception& e) {
          return day + ": " + rec->fullPath + ": " + e.what();
        }
        restored[rec->fullPath] = bytes.data();
        continue;
      }
      const RestoreEntry entry{rec->fullPath, rec->storedName, std::stoi(rec->attributes),
                               std::stoi(rec->fileDate)};
      std::string report;
      const auto r = RestoreItem(clean_, layout, days, index, entry, target.path() + rec->fullPath,
                                 [&report](const std::string& l) { report += l + " "; });
      if (r.status != RestoreStatus::kRestored) return day + ": " + report;
      restored[rec->fullPath] = ReadFile(target.path() + rec->fullPath);
    }
    const Files& want = expected_.at(day);
    for (const auto& [path, bytes] : restored) {
      const auto it = want.find(path);
      if (it == want.end()) return day + ": restores a file the source did not hold " + path;
      if (it->second == bytes) continue;
      const bool older = versions_[path].count(bytes) != 0;
      if (!older || std::none_of(relaxed.begin(), relaxed.end(),
                                 [&](const std::string& p) { return Under(path, p); })) {
        return day + ": wrong bytes for " + path;
      }
    }
    for (const auto& [path, bytes] : want) {
      if (restored.count(path) != 0) continue;
      if (std::none_of(relaxed.begin(), relaxed.end(),
                       [&](const std::string& p) { return Under(path, p); })) {
        return day + ": not listed " + path;
      }
    }
    return "";
  }

  // Every listed day restores as it should; no day but the oldest went
  // (merged into the next one) and none appeared but today's.
  std::string CheckStore(const std::vector<std::string>& before, const std::string& today,
                         const std::vector<std::string>& relaxed, bool toDisk = false) {
    const auto after = f.Days();
    for (size_t i = 1; i < before.size(); ++i) {
      if (std::find(after.begin(), after.end(), before[i]) == after.end()) {
        return "day lost " + before[i];
      }
    }
    for (const auto& day : after) {
      const bool known = std::find(before.begin(), before.end(), day) != before.end();
      if (!known && day != today) return "unexpected day " + day;
      const std::string problem =
          CheckDay(day, day == today ? relaxed : std::vector<std::string>{}, toDisk);
      if (!problem.empty()) return problem;
    }
    return "";
  }

  FaultyFileSystem disk;
  StoreFixture f{disk};
  PosixFileSystem clean_;
  TempDir saved_;
  std::string savedDate_;
  std::map<std::string, Files> expected_;                 // day folder -> source that day
  std::map<std::string, std::set<std::string>> versions_;  // path -> every content it had
};

TEST_P(FaultSweepTest, EveryFailingCallLeavesARestorableStoreAndTheNextRunCompletes) {
  const SweepCase param = GetParam();
  for (int day = 1; day < param.dayUnderTest; ++day) {
    StartDay(day);
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted) << "day " << day;
  }
  const std::vector<std::string> before = f.Days();
  SaveStore();
  StartDay(param.dayUnderTest);
  const std::string today = DayName(param.dayUnderTest);

  // The run without faults, to count its calls.
  ResetStore();
  disk.ResetCounts();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const long calls = disk.calls();
  ASSERT_EQ(CheckStore(before, today, {}, true), "");
  if (param.dayUnderTest >= 3) {
    // The run under test merged the two oldest days.
    ASSERT_EQ(f.Days().size(), before.size());
    ASSERT_GT(disk.calls(FsCall::kLink), 0);
  }

  int failed = 0;
  for (long k = 1; k <= calls; ++k) {
    ResetStore();
    disk.FailCall(k, param.sticky ? ENOSPC : EIO, param.sticky);
    const BackupOutcome outcome = f.Backup();
    disk.Disarm();
    ASSERT_FALSE(disk.injected().empty()) << "call " << k << " of " << calls << " never came";
    const InjectedFault& fault = disk.injected().front();
    std::ostringstream where;
    where << "call " << k << " of " << calls << ": " << FsCallName(fault.kind) << " "
          << fault.path;

    ASSERT_TRUE(outcome == BackupOutcome::kCompleted || outcome == BackupOutcome::kFailed)
        << where.str();
    failed += outcome == BackupOutcome::kFailed;
    const auto days = f.Days();
    if (outcome == BackupOutcome::kCompleted) {
      ASSERT_NE(std::find(days.begin(), days.end(), today), days.end()) << where.str();
    }
    // A call that failed on the source is a file or folder that could not
    // be read: the day keeps its last saved version, or leaves it out.
    std::vector<std::string> relaxed;
    for (const auto& injected : disk.injected()) {
      if (Under(injected.path, f.source)) relaxed.push_back(injected.path);
    }
    ASSERT_EQ(CheckStore(before, today, relaxed), "") << where.str();

    // The next run may merge the two oldest days again.
    const auto afterFault = f.Days();
    const BackupOutcome next = f.Backup();
    ASSERT_TRUE(next == BackupOutcome::kCompleted || next == BackupOutcome::kNoChange)
        << where.str();
    const auto nextDays = f.Days();
    ASSERT_NE(std::find(nextDays.begin(), nextDays.end(), today), nextDays.end()) << where.str();
    // The whole restore, to a folder, for the baseline and the last call;
    // the decoding in memory finds the same faults much faster.
    ASSERT_EQ(CheckStore(afterFault, today, {}, k == calls), "") << where.str() << " (next run)";
  }
  // The sweep did reach the writes of the store, not only harmless calls.
  EXPECT_GT(failed, 0);
  RecordProperty("calls", static_cast<int>(calls));
}

INSTANTIATE_TEST_SUITE_P(Runs, FaultSweepTest,
                         ::testing::Values(SweepCase{1, false}, SweepCase{3, false},
                                           SweepCase{3, true}, SweepCase{4, false}),
                         [](const ::testing::TestParamInfo<SweepCase>& run) {
                           return "Day" + std::to_string(run.param.dayUnderTest) +
                                  (run.param.sticky ? "DiskStaysFull" : "OneCallFails");
                         });

}  // namespace
}  // namespace varnoket::test
