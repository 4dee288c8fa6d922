// Whole backup runs over real files, checked the way a user would: by
// restoring every kept day and comparing its bytes with what the source held
// that day.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "engine/BackupRun.h"
#include "engine/FileRecord.h"
#include "engine/Scheduler.h"
#include "support/FaultyFileSystem.h"
#include "support/KeptDay.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

void SetMtime(const std::string& path, std::time_t t) {
  struct utimbuf times {
    t, t
  };
  ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

// Two different contents of equal size and equal weighted checksum: the
// checksum restarts its weights in every 32 KiB block, so swapping two whole
// blocks keeps it.
std::pair<std::string, std::string> ChecksumTwins() {
  std::string a(32768, 'a');
  std::string b(32768, 'b');
  return {a + b, b + a};
}

std::string Random(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen());
  return s;
}

// The record of `path` in a day's list.
std::optional<FileRecord> RecordOf(StoreFixture& f, const std::string& day,
                                   const std::string& path) {
  for (const auto& line : f.FileList(day)) {
    auto r = ParseFileRecord(line);
    if (r && r->fullPath == path) return r;
  }
  return std::nullopt;
}

bool StoredIn(StoreFixture& f, const std::string& day, const std::string& storedName) {
  return fsys::exists(f.DayFolder(day) + "/" + storedName);
}

class BackupRunTest : public ::testing::Test {
 protected:
  StoreFixture f;
};

TEST_F(BackupRunTest, FirstRunStoresEveryFileAndNoChangeRunLogsItsThreeLines) {
  f.Write("a.txt", "alpha");
  f.Write("d/b.bin", Random(200000, 1));
  fsys::create_directories(f.source + "/empty");
  const auto snapshot = f.Snapshot();

  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.station.lastBackupDate, KeptDay("01/03/2006"));
  EXPECT_EQ(f.Days(), std::vector<std::string>{"01032006"});
  EXPECT_EQ(f.host.trayImages, (std::vector<int>{1, 0}));
  EXPECT_EQ(f.host.disabled, 1);
  EXPECT_EQ(f.host.restored, 1);
  EXPECT_EQ(f.host.hints.back(), "Varnoket");
  ASSERT_GE(f.host.logged.size(), 4u);
  EXPECT_EQ(f.host.logged.front(), "Préparation de la sauvegarde ...");
  EXPECT_EQ(f.host.logged[f.host.logged.size() - 3],
            "Sauvegarde terminée sur le poste POSTE1 Total Bytes=200005 Total Fichiers "
            "distincts=2 (hors répertoires vides)");
  EXPECT_EQ(f.host.logged[f.host.logged.size() - 2],
            "Vérification : 2 copie(s) relue(s) et décodée(s) sans erreur.");
  const auto lines = f.FileList("01032006");
  EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("0|0|*|", 0) == 0; }),
            1);
  EXPECT_EQ(f.RestoreDay("01032006").files, snapshot);

  f.SetDay(2, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kNoChange);
  EXPECT_EQ(f.host.logged, (std::vector<std::string>{"Préparation de la sauvegarde ...",
                                                     "Aucune modification n'a été détectée.",
                                                     "Fin de la sauvegarde !"}));
  EXPECT_FALSE(fsys::exists(f.DayFolder("02032006")));
  EXPECT_EQ(f.station.lastBackupDate, KeptDay("02/03/2006"));
}

TEST_F(BackupRunTest, AStoredCopyIsNoMoreReadableThanItsSource) {
  const std::string secret = f.Write("secret.txt", "private");
  const std::string open = f.Write("open.txt", "public");
  ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
  ASSERT_EQ(::chmod(open.c_str(), 0644), 0);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  auto modeOf = [&](const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat((f.DayFolder("01032006") + "/" + f.ctx.rules.StoredName(path)).c_str(), &st),
              0);
    return st.st_mode & 0777;
  };
  EXPECT_EQ(modeOf(secret), 0600u);
  EXPECT_EQ(modeOf(open), 0644u);
}

TEST_F(BackupRunTest, UnchangedFilesAreNotStoredAgainButChangesWithSameChecksumAre) {
  const auto [one, two] = ChecksumTwins();
  const std::string kept = f.Write("kept.txt", "same every day");
  const std::string swapped = f.Write("swapped.bin", one);
  SetMtime(kept, 1141200000);
  SetMtime(swapped, 1141200000);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  f.SetDay(2, 3, 2006);
  f.Write("swapped.bin", two);  // same size, same checksum, other bytes
  SetMtime(swapped, 1141300000);
  f.Write("new.txt", "new");
  const auto day2 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_FALSE(StoredIn(f, "02032006", f.ctx.rules.StoredName(kept)));
  EXPECT_TRUE(StoredIn(f, "02032006", f.ctx.rules.StoredName(swapped)));
  EXPECT_EQ(f.RestoreDay("02032006").files, day2);
}

TEST_F(BackupRunTest, TwinsShareOneCopyUntilTheyDiverge) {
  const std::string a = f.Write("a/report.doc", "shared content");
  const std::string b = f.Write("b/copy.doc", "shared content");
  const auto day1 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(RecordOf(f, "01032006", a)->storedName, RecordOf(f, "01032006", b)->storedName);

  f.SetDay(2, 3, 2006);
  f.Write("a/report.doc", "edited content!");
  SetMtime(a, 1141300000);
  const auto day2 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  EXPECT_EQ(f.RestoreDay("01032006").files, day1);
  EXPECT_EQ(f.RestoreDay("02032006").files, day2);
}

TEST_F(BackupRunTest, ATwinThatOutlivesItsPartnerKeepsRestoringItsOwnBytes) {
  const std::string a = f.Write("a.txt", "twin bytes");
  const std::string b = f.Write("b.txt", "twin bytes");
  SetMtime(a, 1141200000);
  SetMtime(b, 1141200000);
  const auto day1 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  // The first file met gives both its name; call it the owner.
  const std::string shared = RecordOf(f, "01032006", b)->storedName;
  ASSERT_EQ(RecordOf(f, "01032006", a)->storedName, shared);
  const bool aOwns = shared == f.ctx.rules.StoredName(a);
  const std::string owner = aOwns ? "a.txt" : "b.txt";
  const std::string survivor = aOwns ? b : a;

  // The owner goes: the survivor keeps the inherited name, nothing stored.
  f.SetDay(2, 3, 2006);
  f.Remove(owner);
  f.Write("other.txt", "something else");
  const auto day2 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(RecordOf(f, "02032006", survivor)->storedName, shared);
  EXPECT_FALSE(StoredIn(f, "02032006", shared));

  // A new file appears where the owner was: the name is its own again.
  f.SetDay(3, 3, 2006);
  f.Write(owner, "a newcomer with other bytes");
  const auto day3 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_NE(RecordOf(f, "03032006", survivor)->storedName, shared);

  EXPECT_EQ(f.RestoreDay("01032006").files, day1);
  EXPECT_EQ(f.RestoreDay("02032006").files, day2);
  EXPECT_EQ(f.RestoreDay("03032006").files, day3);
}

TEST_F(BackupRunTest, FilesWithEqualSizeAndChecksumButOtherBytesNeverShareACopy) {
  const auto [one, two] = ChecksumTwins();
  const std::string x = f.Write("x.bin", one);
  SetMtime(x, 1141200000);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  f.SetDay(2, 3, 2006);
  const std::string y = f.Write("y.bin", two);  // new, colliding with an unchanged file
  const std::string z = f.Write("z.bin", two);  // a true twin of y
  const auto day2 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_NE(RecordOf(f, "02032006", y)->storedName, RecordOf(f, "02032006", x)->storedName);
  EXPECT_EQ(RecordOf(f, "02032006", z)->storedName, RecordOf(f, "02032006", y)->storedName);
  EXPECT_EQ(f.RestoreDay("02032006").files, day2);
}

TEST_F(BackupRunTest, AnEmptyFileNeverTakesAnEmptyDirectorysName) {
  fsys::create_directories(f.source + "/a-empty-dir");
  const std::string empty = f.Write("z-empty-file", "");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto rec = RecordOf(f, "01032006", empty);
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->storedName, f.ctx.rules.StoredName(empty));
  const auto restored = f.RestoreDay("01032006");
  EXPECT_EQ(restored.errors, 0);
  EXPECT_EQ(restored.files.at(empty), "");
}

TEST_F(BackupRunTest, NamesAFileListCannotHoldAreLeftOutWithALogLine) {
  f.Write("pipe|name.txt", "x");
  f.Write("line\nbreak.txt", "y");
  f.Write("fine.txt", "z");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut);
  const auto lines = f.FileList("01032006");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("fine.txt"), std::string::npos);
  int warnings = 0;
  for (const auto& l : f.host.logged) warnings += l.rfind("ATTENTION: Le nom (", 0) == 0;
  EXPECT_EQ(warnings, 2);
}

TEST_F(BackupRunTest, ConsolidationMergesTheTwoOldestDaysAndEveryLaterDayStillRestores) {
  f.daysKept = 3;
  std::map<std::string, std::map<std::string, std::string>> expected;
  const std::string doc = f.Write("doc.txt", "v1");
  f.Write("old-only.txt", "stored on the first day only");
  for (int day = 1; day <= 5; ++day) {
    f.SetDay(day, 3, 2006);
    f.Write("doc.txt", "version " + std::to_string(day));
    SetMtime(doc, 1141200000 + day * 86400);
    f.Write("day" + std::to_string(day) + ".txt", std::to_string(day));
    expected[DayFolderName({day, 3, 2006})] = f.Snapshot();
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  }
  // Three days kept: before each of the last runs the two oldest merged.
  const auto days = f.Days();
  EXPECT_EQ(days, (std::vector<std::string>{"03032006", "04032006", "05032006"}));
  EXPECT_TRUE(StoredIn(f, "03032006", f.ctx.rules.StoredName(f.source + "/old-only.txt")));
  for (const auto& day : days) EXPECT_EQ(f.RestoreDay(day).files, expected[day]) << day;
  EXPECT_FALSE(fsys::exists(f.DayFolder("01032006")));
  EXPECT_FALSE(fsys::exists(f.DayFolder("02032006")));
}

TEST_F(BackupRunTest, ARunAgainOnTheSameDayNeverLeavesStaleCopiesBehind) {
  const std::string doc = f.Write("doc.txt", "first");
  SetMtime(doc, 1141200000);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  f.SetDay(2, 3, 2006);
  f.Write("doc.txt", "second");
  SetMtime(doc, 1141300000);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  // The user puts the first version back, adds a file, and backs up again
  // the same day: the copy of "second" left in today's folder must not be
  // what today restores.
  f.Write("doc.txt", "first");
  SetMtime(doc, 1141200000);
  f.Write("extra.txt", "extra");
  f.ctx.redoToday = true;
  const auto again = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.RestoreDay("02032006").files, again);
}

TEST_F(BackupRunTest, ABackupDayLaterThanTodayStopsTheRun) {
  f.Write("a.txt", "a");
  f.SetDay(10, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  f.SetDay(9, 3, 2006);  // the clock went back
  f.Write("b.txt", "b");
  f.station.lastBackupDate = KeptDay("01/03/2006");
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  EXPECT_EQ(f.host.errorWindow.size(), 1u);
  EXPECT_FALSE(fsys::exists(f.DayFolder("09032006")));
}

TEST_F(BackupRunTest, AGarbledPreviousListOnlyMakesFilesCountAsNew) {
  const std::string doc = f.Write("doc.txt", "content");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  WriteFile(f.ctx.Layout().FileListPath(f.DayFolder("01032006")),
            "short\r\n|||\r\nx|y|_/a.ZZ|" + doc + "|mode|date|0\r\n0|0|../../escape.ZZ|" +
                f.source + "/other|1|2|0\r\n\xff\xfe garbage without separators\r\n");
  f.SetDay(2, 3, 2006);
  const auto snapshot = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto lines = f.FileList("02032006");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(ParseFileRecord(lines[0])->storedName, f.ctx.rules.StoredName(doc));
  EXPECT_EQ(f.RestoreDay("02032006").files, snapshot);
}

TEST_F(BackupRunTest, AStoredNameLongerThanTheSystemAllowsIsSkippedWithAWarning) {
  const std::string longName(253, 'n');  // 256 characters once ".ZZ" is added
  f.Write(longName, "too long to store");
  f.Write("short.txt", "fine");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut);
  int warnings = 0;
  for (const auto& l : f.host.logged) {
    warnings +=
        l.rfind("ATTENTION: Le chemin du fichier compressé dépasse 255 caractères (", 0) == 0;
  }
  EXPECT_EQ(warnings, 1);
  const auto restored = f.RestoreDay("01032006");
  EXPECT_EQ(restored.errors, 0);
  EXPECT_EQ(restored.files.size(), 1u);  // the unsaved file is not listed as saved
}

TEST_F(BackupRunTest, ADirectoryWrittenWithExtraSeparatorsGivesTheSameRecords) {
  f.Write("sub/a.txt", "alpha");
  f.station.backupDirectories = {f.tmp.path() + "//src/./"};
  const auto snapshot = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(ParseFileRecord(f.FileList("01032006").at(0))->fullPath, f.source + "/sub/a.txt");
  EXPECT_EQ(f.RestoreDay("01032006").files, snapshot);
  f.station.backupDirectories = {"relative/src"};
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  EXPECT_EQ(f.dialogs.Count(DialogKind::Warning), 1u);
}

TEST_F(BackupRunTest, AMissingBackupDirectoryStopsThePreparationWithItsWarning) {
  f.station.backupDirectories.push_back(f.tmp / "gone");
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  ASSERT_EQ(f.dialogs.Count(DialogKind::Warning), 1u);
  EXPECT_EQ(f.dialogs.Texts(DialogKind::Warning)[0].rfind("Le répertoire (" + (f.tmp / "gone"), 0),
            0u);
  EXPECT_EQ(f.host.logged[1], "La préparation de la sauvegarde a échoué. Sauvegarde interrompue.");
  EXPECT_EQ(f.station.lastBackupDate, KeptDay("31/12/2002"));
}

// Source files that cannot be opened, as another program's locked files.
void MakeUnreadable(FaultyFileSystem& disk, const std::set<std::string>& paths) {
  disk.rule = [paths](FsCall kind, const std::string& path) {
    return kind == FsCall::kOpenRead && paths.count(path) != 0 ? EACCES : 0;
  };
}

TEST(BackupRunFaults, AFullDiskStopsTheRunLeavesNoTraceAndTheNextRunCompletes) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  for (int i = 0; i < 5; ++i)
    f.Write("f" + std::to_string(i), Random(1000, static_cast<unsigned>(i)));
  disk.FailCall(FsCall::kStreamWrite, 3, ENOSPC);  // the third stored file
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  ASSERT_EQ(f.host.errorWindow.size(), 1u);
  EXPECT_EQ(f.host.errorWindow[0].rfind("ERREUR: impossible d'écrire le fichier compressé (", 0),
            0u);
  EXPECT_EQ(f.station.lastBackupDate, KeptDay("31/12/2002"));
  EXPECT_TRUE(f.Days().empty());
  size_t leftovers = 0;
  for (const auto& e : fsys::recursive_directory_iterator(f.DayFolder("01032006"))) {
    leftovers += e.is_regular_file();
  }
  EXPECT_EQ(leftovers, 0u);

  disk.Disarm();
  const auto snapshot = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.RestoreDay("01032006").files, snapshot);
}

TEST(BackupRunFaults, AnUnreadableFileKeepsItsLastSavedVersionAndIsStoredOnceReadable) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  const std::string doc = f.Write("doc.txt", "monday");
  SetMtime(doc, 1141200000);
  const auto day1 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  f.SetDay(2, 3, 2006);
  f.Write("doc.txt", "tuesday");
  SetMtime(doc, 1141300000);
  const std::string fresh = f.Write("fresh.txt", "new and locked");
  f.Write("other.txt", "readable");
  MakeUnreadable(disk, {doc, fresh});
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut);
  const auto restored = f.RestoreDay("02032006");
  EXPECT_EQ(restored.errors, 0);
  EXPECT_EQ(restored.files.at(doc), "monday");  // the last version saved
  EXPECT_EQ(restored.files.count(fresh), 0u);   // never saved: not listed
  EXPECT_EQ(restored.files.at(f.source + "/other.txt"), "readable");

  f.SetDay(3, 3, 2006);
  MakeUnreadable(disk, {});
  const auto day3 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.RestoreDay("03032006").files, day3);
  EXPECT_EQ(f.RestoreDay("01032006").files, day1);
}

TEST(BackupRunFaults, AFileThatFailsOrShrinksWhileItIsCopiedKeepsItsLastVersionAndTheRunGoesOn) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  const std::string doc = f.Write("doc.txt", "monday");
  const std::string log = f.Write("app.log", "monday's log");
  SetMtime(doc, 1141200000);
  SetMtime(log, 1141200000);
  const auto day1 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  f.SetDay(2, 3, 2006);
  f.Write("doc.txt", "tuesday");
  f.Write("app.log", "tuesday's longer log");
  SetMtime(doc, 1141300000);
  SetMtime(log, 1141300000);
  const std::string other = f.Write("other.txt", "readable");
  // The scan reads every file before the run makes the day's folder for the
  // copies; then one file fails to read and another is cut short under the
  // reader.
  disk.ResetCounts();
  disk.rule = [&](FsCall kind, const std::string& path) {
    if (kind != FsCall::kStreamRead || disk.calls(FsCall::kCreateDirectories) == 0) return 0;
    if (path == log) fsys::resize_file(log, 3);
    return path == doc ? EIO : 0;
  };
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut);
  EXPECT_TRUE(f.host.errorWindow.empty());
  disk.rule = nullptr;
  const auto restored = f.RestoreDay("02032006");
  EXPECT_EQ(restored.errors, 0);
  EXPECT_EQ(restored.files.at(doc), "monday");
  EXPECT_EQ(restored.files.at(log), "monday's log");
  EXPECT_EQ(restored.files.at(other), "readable");
  for (const auto& e : fsys::recursive_directory_iterator(f.DayFolder("02032006"))) {
    EXPECT_EQ(e.path().filename().string().find(".vk-part"), std::string::npos) << e.path();
  }
  EXPECT_EQ(f.RestoreDay("01032006").files, day1);
}

TEST(BackupRunFaults, AFileThatChangesBetweenScanAndCopyIsListedAsStored) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  const std::string a = f.Write("a.txt", "twin content");
  const std::string b = f.Write("b.txt", "twin content");
  // The scan reads each file once; the copy opens the twin whose content
  // is stored a second time: change it then.
  std::map<std::string, int> opens;
  std::string changed;
  disk.rule = [&](FsCall kind, const std::string& path) {
    if (kind == FsCall::kOpenRead && ++opens[path] == 2 && changed.empty()) {
      changed = path;
      WriteFile(path, "changed during the backup");
    }
    return 0;
  };
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  ASSERT_FALSE(changed.empty());
  const std::string other = changed == a ? b : a;
  const auto restored = f.RestoreDay("01032006");
  EXPECT_EQ(restored.files.at(changed), "changed during the backup");
  EXPECT_EQ(restored.files.at(other), "twin content");
  EXPECT_EQ(RecordOf(f, "01032006", changed)->size, 25);
}

}  // namespace
}  // namespace varnoket::test
