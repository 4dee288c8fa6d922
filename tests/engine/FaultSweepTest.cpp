// Whole backup runs in which one file-system call fails, for every call the
// run makes in turn: the run must stop cleanly or complete, every day the
// store still lists must restore what the source held that day, and the next
// run without faults must complete and leave every day restorable.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "engine/BZip2.h"
#include "engine/BackupRun.h"
#include "engine/DamagedCopies.h"
#include "engine/FileRecord.h"
#include "engine/ResumeCopies.h"
#include "platform/TextLines.h"
#include "restore/RestoreItem.h"
#include "restore/StoredFileLookup.h"
#include "settings/StationSettings.h"
#include "support/FaultyFileSystem.h"
#include "support/KeptDay.h"
#include "support/RecordingRestoreHost.h"
#include "support/StoreFixture.h"
#include "support/TestBytes.h"

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

bool UnderAny(const std::string& path, const std::vector<std::string>& folders) {
  return std::any_of(folders.begin(), folders.end(),
                     [&path](const std::string& folder) { return Under(path, folder); });
}

bool Holds(const std::vector<std::string>& days, const std::string& day) {
  return std::find(days.begin(), days.end(), day) != days.end();
}

// What comes just before the run under test, on its day.
enum class Before {
  kNothing,              // the day's first run
  kSameDayRun,           // a run that completed; the source changed since
  kFailedRun,            // a run that stopped on a full disk when it wrote the day's list
  kDamagedCopy,          // a check found the copy of a file that never changes damaged
  kStoppedInALargeFile,  // the person stopped a run inside a large file: its blocks wait
  kKilledBeforeChecks,   // a run was killed when its copies were flushed, before their checks
  kOldCopiesToCheck,     // the run decodes every old copy after its own work, in rotation
};

struct SweepCase {
  int day;  // the run under test is on day N of the scenario
  Before before;
  bool sticky;  // every call from the k-th on fails, as on a disk that stays full
  const char* name;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const SweepCase& c, std::ostream* out) {
  *out << c.name;
}

// What the store may hold after a run.
struct Expectation {
  std::vector<std::string> days;  // the days listed before the run
  std::string today;
  std::vector<const Files*> todayStates;  // what today may restore
  std::vector<std::string> relaxed;       // source paths that a fault made unreadable
  bool todayMayGo = false;                // a failed second run of a day unlists it
  bool toDisk = false;                    // through the whole restore, into a folder
};

class FaultSweepTest : public ::testing::TestWithParam<SweepCase> {
 protected:
  FaultSweepTest() {
    f.daysKept = 2;
    disk.flushes = false;
    // The backup set is in the settings file too, whose keys a run must keep.
    f.station.directories = {f.source};
    f.station.exclusions = {"*.tmp"};
    if (!SaveBackupSet(f.dialogs, f.station)) throw std::runtime_error("settings not saved");
  }

  // The backup set as it is changed on the morning of each day: renamed,
  // edited, deleted and new files, twins that share one stored copy, an empty
  // folder and an empty file. Day 0 is an evening's change.
  void ChangeSource(int day) {
    switch (day) {
      case 0:
        f.Write("docs/report.txt", "report, evening draft");
        f.Write("evening.txt", "written in the evening");
        break;
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
      default:
        f.Write("docs/report.txt", "report, third draft");
        f.Write("docs/report-copy.txt", "report, third draft");
        f.Remove("docs/shared.dat");
        f.Remove("new.txt");
        f.Write("later/inside/file.txt", "a folder of the third day");
        break;
    }
  }

  std::string DayName(int day) const { return DayFolderName({day, 3, 2006}); }
  std::string EmptyFileName() const { return f.ctx.rules.StoredName(f.source + "/empty-file"); }

  // A run on one worker that the host stops: there, at most three files
  // wait to be compressed, so what is on the disk when it stops is known.
  BackupOutcome RunStoppedOnOneWorker() {
    f.ctx.daysKept = f.daysKept;
    f.ctx.workers = 1;
    const BackupOutcome outcome = RunBackup(f.ctx);
    f.ctx.workers = 0;
    f.host = RecordingHost();
    return outcome;
  }

  // Records the source as the day's list must describe it from now on.
  void Record(const std::string& day) {
    const Files now = f.Snapshot();
    for (const auto& [path, bytes] : now) versions_[path].insert(bytes);
    expected_[day] = now;
  }

  void StartDay(int day) {
    ChangeSource(day);
    f.SetDay(day, 3, 2006);
    Record(DayName(day));
  }

  // The store and the station's settings as they were before the run under
  // test, to start each faulty run from.
  void SaveStore() {
    fsys::copy(f.root, saved_.path() + "/store", fsys::copy_options::recursive);
    savedDate_ = DayText(*f.station.lastBackupDate);
    savedSettings_ = SettingsBesideTheDate();
  }
  void ResetStore() {
    fsys::remove_all(f.root);
    fsys::copy(saved_.path() + "/store", f.root, fsys::copy_options::recursive);
    f.station.file->Reload();
    f.station.lastBackupDate = KeptDay(savedDate_);
  }

  // The station settings file's lines but the date of the last backup.
  std::vector<std::string> SettingsBesideTheDate() {
    const auto text = clean_.ReadFile(f.station.path);
    if (!text) return {"(unreadable)"};
    std::vector<std::string> lines = SplitLines(*text);
    std::erase_if(lines, [](const std::string& l) { return l.rfind("LASTBACKUP=", 0) == 0; });
    return lines;
  }

  // Every file of a listed day, restored. With `toDisk` the files go through
  // the whole restore of the program into a temporary folder; without, each
  // stored copy is found as that restore finds it and decoded in memory,
  // which costs far less on a busy disk. Returns the first problem.
  std::string RestoreDay(const std::string& day, bool toDisk, Files& restored) {
    const auto days = f.Days();
    const size_t index =
        static_cast<size_t>(std::find(days.begin(), days.end(), day) - days.begin());
    const StoreLayout layout = f.ctx.Layout();
    const auto lines = ReadListFile(clean_, layout.FileListPath(f.DayFolder(day)));
    if (!lines) return "list unreadable";
    if (!std::is_sorted(lines->begin(), lines->end())) return "list out of order";
    std::optional<TempDir> target;
    if (toDisk) target.emplace();
    for (const std::string& line : *lines) {
      const auto rec = ParseFileRecord(line);
      if (!rec) return "bad record " + line;
      if (rec->IsDirectory()) continue;
      if (!toDisk) {
        const auto stored = FindStoredFile(clean_, layout, days, index, rec->storedName);
        if (!stored) return "no stored copy for " + rec->fullPath;
        MemoryStream bytes;
        try {
          if (!DecompressFile(*clean_.OpenRead(*stored), bytes).complete) {
            return "truncated copy of " + rec->fullPath;
          }
        } catch (const std::exception& e) {
          return rec->fullPath + ": " + e.what();
        }
        restored[rec->fullPath] = bytes.data();
        continue;
      }
      const RestoreEntry entry{rec->fullPath, rec->storedName, rec->attributes, rec->fileDate,
                               RecordedContent{rec->size, rec->checksum}};
      const std::string where = target->path() + rec->fullPath;
      test::RecordingRestoreHost host;
      const auto r = RestoreItem(clean_, layout, days, index, entry, where, host);
      if (r.status != RestoreStatus::kRestored) {
        std::string report;
        for (const std::string& l : host.lines) report += l + " ";
        return report;
      }
      restored[rec->fullPath] = ReadFile(where);
    }
    return "";
  }

  // What a day restored against what the source held; files under
  // `relaxed` may instead hold an older version, be left out, or be kept
  // from an earlier day, as a file or folder that could not be read is.
  std::string Compare(const Files& restored, const Files& want,
                      const std::vector<std::string>& relaxed) {
    for (const auto& [path, bytes] : restored) {
      const auto it = want.find(path);
      // A folder that could not be listed keeps what an earlier day
      // recorded below it, files gone since included.
      if (it == want.end() && (!UnderAny(path, relaxed) || versions_[path].count(bytes) == 0)) {
        return "restores a file the source did not hold " + path;
      }
      if (it == want.end() || it->second == bytes) continue;
      if (versions_[path].count(bytes) == 0 || !UnderAny(path, relaxed)) {
        return "wrong bytes for " + path;
      }
    }
    for (const auto& [path, bytes] : want) {
      if (restored.count(path) == 0 && !UnderAny(path, relaxed)) return "not listed " + path;
    }
    return "";
  }

  // Every listed day restores as it should; no day went but the oldest
  // (merged into the next one) and, when allowed, today; none appeared but
  // today. Returns the first problem, "" when there is none.
  std::string CheckStore(const Expectation& e) {
    if (SettingsBesideTheDate() != savedSettings_) return "station settings changed";
    const auto settings = clean_.ReadFile(f.station.path);
    const std::string dayText =
        e.today.substr(0, 2) + "/" + e.today.substr(2, 2) + "/" + e.today.substr(4);
    if (!settings || (settings->find("LASTBACKUP=" + savedDate_ + "\r\n") == std::string::npos &&
                      settings->find("LASTBACKUP=" + dayText + "\r\n") == std::string::npos)) {
      return "last backup date neither the old one nor today";
    }
    const auto after = f.Days();
    for (size_t i = 1; i < e.days.size(); ++i) {
      if (!Holds(after, e.days[i]) && !(e.todayMayGo && e.days[i] == e.today)) {
        return "day lost " + e.days[i];
      }
    }
    for (const auto& day : after) {
      if (!Holds(e.days, day) && day != e.today) return "unexpected day " + day;
      Files restored;
      std::string problem = RestoreDay(day, e.toDisk, restored);
      if (problem.empty() && day != e.today) problem = Compare(restored, expected_.at(day), {});
      if (problem.empty() && day == e.today) {
        for (const Files* state : e.todayStates) {
          problem = Compare(restored, *state, e.relaxed);
          if (problem.empty()) break;
        }
      }
      if (!problem.empty()) return day + ": " + problem;
    }
    return "";
  }

  FaultyFileSystem disk;
  StoreFixture f{disk};
  PosixFileSystem clean_;
  TempDir saved_;
  std::string savedDate_;
  std::vector<std::string> savedSettings_;
  std::map<std::string, Files> expected_;                  // day folder -> its list's source
  std::map<std::string, std::set<std::string>> versions_;  // path -> every content it had
};

TEST_P(FaultSweepTest, EveryFailingCallLeavesARestorableStoreAndTheNextRunCompletes) {
  const SweepCase param = GetParam();
  for (int day = 1; day < param.day; ++day) {
    StartDay(day);
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted) << "day " << day;
  }
  StartDay(param.day);
  const std::string today = DayName(param.day);
  Files earlier;  // what today's first run listed
  if (param.before == Before::kSameDayRun) {
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
    earlier = expected_[today];
    ChangeSource(0);
    Record(today);
  } else if (param.before == Before::kFailedRun) {
    disk.FailCall(FsCall::kWriteAtomic, 1, ENOSPC);  // the day's list
    ASSERT_EQ(f.Backup(), BackupOutcome::kFailed);
    disk.Disarm();
    ASSERT_FALSE(Holds(f.Days(), today));
  } else if (param.before == Before::kDamagedCopy) {
    ASSERT_TRUE(RecordDamagedCopy(disk, f.ctx.Layout(), DayName(1), EmptyFileName()));
  } else if (param.before == Before::kStoppedInALargeFile) {
    // Four blocks of random bytes; on one worker, at most three wait to be
    // compressed, so the first two are written, and checked, by the time
    // the next file is read (the next folder's first): the person stops the run then.
    f.Write("large/disk.img", RandomBytes(2'750'000, 9));
    // Every call of the run is swept, each time with the large file's rest
    // to compress and check: the other files of the day would only add
    // calls the other cases sweep.
    for (const char* other : {"docs", "notes.txt", "empty-file", "empty-folder", "pics/deep"}) {
      f.Remove(other);
    }
    Record(today);
    f.host.cancelInFile = "/pics/copy-of-shared.dat";
    ASSERT_EQ(RunStoppedOnOneWorker(), BackupOutcome::kCancelled);
    const auto journal =
        clean_.ReadFile(f.ctx.Layout().StationFolder() + "/" + kResumeFolderName + "/journal.txt");
    ASSERT_TRUE(journal && journal->find("part\tcopy-") != std::string::npos);
  } else if (param.before == Before::kOldCopiesToCheck) {
    f.ctx.rotationDays = 1;
  } else if (param.before == Before::kKilledBeforeChecks) {
    // The journal of a run killed between the flush of its copies and the
    // end of their checks: they are noted as flushed only, and the run
    // under test checks them before it takes them.
    // The first file is written by the time the fifth starts.
    f.host.stopOnHint = "Sauvegarde en cours Fichier 5 sur";
    ASSERT_EQ(RunStoppedOnOneWorker(), BackupOutcome::kStopped);
    const std::string path =
        f.ctx.Layout().StationFolder() + "/" + kResumeFolderName + "/" + kResumeJournalName;
    std::string flushed;
    for (const std::string& line : SplitLines(ReadFile(path))) {
      if (line.rfind("flushed\t", 0) == 0) flushed += line + "\n";
    }
    ASSERT_GE(std::count(flushed.begin(), flushed.end(), '\n'), 1);
    WriteFile(path, flushed);
  }
  const std::vector<std::string> before = f.Days();
  SaveStore();
  ASSERT_TRUE(Holds(savedSettings_, "D1=" + f.source));

  // The run without faults, to count its calls.
  ResetStore();
  disk.ResetCounts();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const long calls = disk.calls();
  ASSERT_EQ(CheckStore({before, today, {&expected_[today]}, {}, false, true}), "");
  if (param.day >= 3 && param.before == Before::kNothing) {
    // The run merged the two oldest days.
    ASSERT_EQ(f.Days().size(), before.size());
    ASSERT_GT(disk.calls(FsCall::kLink), 0);
  }
  if (param.before == Before::kKilledBeforeChecks) {
    // The copies the killed run left were checked and taken, not made again.
    EXPECT_TRUE(std::any_of(f.host.logged.begin(), f.host.logged.end(), [](const std::string& l) {
      return l.rfind("Reprise d'une sauvegarde interrompue : ", 0) == 0;
    }));
  }
  if (param.before == Before::kOldCopiesToCheck) {
    // The slice decoded old copies, so its calls are among those swept.
    EXPECT_TRUE(std::any_of(f.host.logged.begin(), f.host.logged.end(), [](const std::string& l) {
      return l.rfind("Vérification des anciennes copies : ", 0) == 0 &&
             l.find(" 0 copie") == l.npos;
    }));
  }
  if (param.before == Before::kDamagedCopy) {
    // Stored again today; the line went with the merged day.
    ASSERT_TRUE(fsys::exists(f.DayFolder(today) + "/" + EmptyFileName()));
    ASSERT_FALSE(fsys::exists(f.ctx.Layout().StationFolder() + "/" + kDamagedCopiesName));
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
    where << "call " << k << " of " << calls << ": " << FsCallName(fault.kind) << " " << fault.path;

    const bool completed =
        outcome == BackupOutcome::kCompleted || outcome == BackupOutcome::kCompletedWithLeftOut;
    ASSERT_TRUE(completed || outcome == BackupOutcome::kFailed) << where.str();
    // Only a source that could not be read is left out; a fault on the
    // store's side never passes for one.
    if (outcome == BackupOutcome::kCompletedWithLeftOut) {
      EXPECT_EQ(fault.path.rfind(f.source, 0), 0u) << where.str();
    }
    failed += outcome == BackupOutcome::kFailed;
    // A run that could not list anything new (its one folder unreadable on
    // a first day) changes nothing and writes no day, and still says so.
    const bool unchanged = outcome == BackupOutcome::kCompletedWithLeftOut && f.Days() == before;
    if (completed) {
      ASSERT_TRUE(Holds(f.Days(), today) || unchanged) << where.str();
    }
    Expectation afterFault{before, today, {&expected_[today]}, {}, unchanged, false};
    if (param.before == Before::kSameDayRun) {
      // Stopped before it replaced the day's list, the run leaves the
      // earlier one; stopped after, it leaves none.
      afterFault.todayStates.push_back(&earlier);
      afterFault.todayMayGo = outcome == BackupOutcome::kFailed;
    }
    // A call that failed on the source is a file or folder that could not
    // be read: the day keeps its last saved version, or leaves it out.
    // A copy that cannot be read back when the run checks it is turned
    // down the same way; which file it held is not told by its name.
    for (const auto& injected : disk.injected()) {
      if (Under(injected.path, f.source)) afterFault.relaxed.push_back(injected.path);
      const bool check = injected.kind == FsCall::kOpenRead || injected.kind == FsCall::kStreamRead;
      if (check && injected.path.find("/.vk-resume/copy-") != std::string::npos) {
        afterFault.relaxed.push_back(f.source);
      }
    }
    ASSERT_EQ(CheckStore(afterFault), "") << where.str();

    const auto days = f.Days();
    const BackupOutcome next = f.Backup();
    ASSERT_TRUE(next == BackupOutcome::kCompleted || next == BackupOutcome::kNoChange)
        << where.str();
    ASSERT_TRUE(Holds(f.Days(), today)) << where.str();
    // The whole restore, to a folder, after the last call; the decoding in
    // memory finds the same faults much faster.
    ASSERT_EQ(CheckStore({days, today, {&expected_[today]}, {}, false, k == calls}), "")
        << where.str() << " (next run)";
  }
  // The sweep reached calls whose failure stops the run, not only harmless ones.
  EXPECT_GT(failed, 0);
  RecordProperty("calls", static_cast<int>(calls));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FaultSweepTest,
    ::testing::Values(
        SweepCase{1, Before::kNothing, false, "FirstRun"},
        SweepCase{3, Before::kNothing, false, "RunThatMergesTwoDays"},
        SweepCase{3, Before::kNothing, true, "RunThatMergesTwoDaysDiskStaysFull"},
        SweepCase{3, Before::kSameDayRun, false, "SecondRunOfADay"},
        SweepCase{3, Before::kFailedRun, false, "RunAfterAFailedOne"},
        SweepCase{3, Before::kDamagedCopy, false, "RunThatStoresADamagedCopyAgain"},
        SweepCase{1, Before::kStoppedInALargeFile, false, "RunThatCarriesOnInsideALargeFile"},
        SweepCase{1, Before::kKilledBeforeChecks, false, "RunThatChecksTheCopiesAKilledRunLeft"},
        SweepCase{3, Before::kOldCopiesToCheck, false, "RunThatChecksOldCopiesInRotation"}),
    [](const ::testing::TestParamInfo<SweepCase>& run) { return std::string(run.param.name); });

}  // namespace
}  // namespace varnoket::test
