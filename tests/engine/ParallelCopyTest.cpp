// The copy step on several workers: stored files stay what the standard
// compressor makes of their sources, whatever the number of workers, the log
// and the hints keep their order, and a run stopped part way leaves whole
// copies that the next run adopts instead of compressing them again.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "engine/FileRecord.h"
#include "engine/ResumeCopies.h"
#include "platform/TextLines.h"
#include "support/FaultyFileSystem.h"
#include "support/KeptDay.h"
#include "support/StoreFixture.h"
#include "support/TestBytes.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

std::string Random(size_t n, unsigned seed) {
  return RandomBytes(n, seed);
}

// Text with long runs: many input bytes per block, and runs across cuts.
std::string Runs(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s;
  while (s.size() < n) s.append(1 + gen() % 600, static_cast<char>('a' + gen() % 3));
  s.resize(n);
  return s;
}

// The threads of this process.
size_t Threads() {
  return static_cast<size_t>(std::distance(fsys::directory_iterator("/proc/self/task"), {}));
}

class ParallelCopyTest : public ::testing::Test {
 protected:
  std::string Station() const { return f.root + "/" + f.stationName; }
  std::string Resume() const { return Station() + "/" + kResumeFolderName; }

  // The stored file of every record of a day: full path -> stored bytes.
  std::map<std::string, std::string> StoredFiles(const std::string& day) {
    std::map<std::string, std::string> stored;
    for (const auto& line : f.FileList(day)) {
      const auto r = ParseFileRecord(line);
      if (!r || r->IsDirectory()) continue;
      stored[r->fullPath] = ReadFile(f.DayFolder(day) + "/" + r->storedName);
    }
    return stored;
  }

  // A mixed set: small files, and files of several blocks.
  void WriteMixedSet() {
    for (int i = 0; i < 40; ++i) {
      f.Write("small/f" + std::to_string(i) + ".txt", Random(100 + 37 * i, i));
    }
    f.Write("large/random.bin", Random(2'300'000, 100));
    f.Write("large/runs.txt", Runs(3'100'000, 101));
    f.Write("large/zeros.bin", std::string(2'000'000, '\0'));
    f.Write("empty", "");
  }

  StoreFixture f;
};

TEST_F(ParallelCopyTest, EveryStoredFileIsTheStandardStreamWithAnyNumberOfWorkers) {
  WriteMixedSet();
  std::map<std::string, std::string> first;
  std::vector<std::string> firstLog;
  std::vector<std::string> firstHints;
  for (unsigned workers : {1u, 3u}) {
    SCOPED_TRACE(workers);
    f.ctx.workers = workers;
    f.ctx.redoToday = true;  // the whole set again, into the same day
    // One worker is one core: no thread beside it compresses or checks.
    const size_t before = Threads();
    std::atomic<bool> running{true};
    std::atomic<size_t> most{0};
    std::thread watch([&] {
      while (workers == 1 && running.load()) {
        most.store(std::max(most.load(), Threads()));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
    const BackupOutcome outcome = f.Backup();
    running.store(false);
    watch.join();
    ASSERT_EQ(outcome, BackupOutcome::kCompleted);
    if (workers == 1) {
      EXPECT_LE(most.load(), before + 2);  // the watch and the worker
    }
    const auto stored = StoredFiles("01032006");
    ASSERT_EQ(stored.size(), 44u);
    for (const auto& [path, bytes] : stored) {
      if (path.find("/large/") != std::string::npos || path.ends_with("/empty")) {
        EXPECT_EQ(bytes, StandardCompress(path)) << path;
      }
    }
    EXPECT_EQ(f.RestoreDay("01032006").files, f.Snapshot());
    // Everything the user sees comes in the same order.
    std::vector<std::string> log;
    for (const auto& line : f.host.logged) {
      if (line.rfind("Sauvegarde terminée", 0) == 0 || line.find("Fichier") != std::string::npos ||
          line.rfind("ERREUR", 0) == 0) {
        log.push_back(line);
      }
    }
    if (first.empty()) {
      first = stored;
      firstLog = log;
      firstHints = f.host.hints;
    } else {
      EXPECT_EQ(stored, first);
      EXPECT_EQ(log, firstLog);
      EXPECT_EQ(f.host.hints, firstHints);
    }
  }
  EXPECT_FALSE(fsys::exists(Resume()));
}

TEST_F(ParallelCopyTest, AStoppedFirstBackupIsResumedWithTheCopiesItMade) {
  WriteMixedSet();
  f.ctx.workers = 2;
  // Told to end when the copy step starts its 30th file of 44.
  f.host = RecordingHost();
  f.host.stopOnHint = "Sauvegarde en cours Fichier 30 sur";
  ASSERT_EQ(RunBackup(f.ctx), BackupOutcome::kStopped);
  EXPECT_TRUE(f.Days().empty());
  // Each copy was noted once flushed, then once checked: a stop lets the
  // checks under way end.
  std::set<std::string> flushed;
  std::vector<std::string> checked;
  for (const std::string& line : SplitLines(ReadFile(Resume() + "/" + kResumeJournalName))) {
    if (line.rfind("flushed\t", 0) == 0) {
      flushed.insert(line.substr(8));
    } else if (line.rfind("part\t", 0) != 0) {
      checked.push_back(line);
    }
  }
  const size_t noted = checked.size();
  ASSERT_GT(noted, 0u);
  EXPECT_EQ(flushed, std::set<std::string>(checked.begin(), checked.end()));

  // One noted file changes meanwhile: its copy must not come back.
  const std::string& firstLine = checked.front();
  const auto firstNote =
      ParseFileRecord(firstLine.substr(firstLine.find('\t', firstLine.find('\t') + 1) + 1));
  ASSERT_TRUE(firstNote.has_value());
  const std::string changed = firstNote->fullPath;
  {
    std::string bytes = ReadFile(changed);
    bytes += "changed";
    WriteFile(changed, bytes);
  }

  f.host = RecordingHost();
  f.SetDay(2, 3, 2006);  // resumed the next day, as a laptop is the next morning
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const std::string adopted =
      "Reprise d'une sauvegarde interrompue : " + std::to_string(noted - 1) + " copie(s)";
  bool said = false;
  for (const auto& line : f.host.logged) said = said || line.rfind(adopted, 0) == 0;
  EXPECT_TRUE(said) << "expected a line starting with " << adopted;
  EXPECT_EQ(f.RestoreDay("02032006").files, f.Snapshot());
  for (const auto& [path, bytes] : StoredFiles("02032006")) {
    if (path.find("/large/") != std::string::npos) {
      EXPECT_EQ(bytes, StandardCompress(path)) << path;
    }
  }
  EXPECT_FALSE(fsys::exists(Resume()));
}

TEST_F(ParallelCopyTest, AJournalCutShortOrNamingLostCopiesAdoptsOnlyWholeNotes) {
  f.Write("a.txt", "alpha");
  f.Write("b.txt", "bravo");
  f.Write("c.txt", "charlie");
  // A run that completes gives the records and copies the notes are made of.
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  std::vector<FileRecord> records;
  for (const auto& line : f.FileList("01032006")) records.push_back(*ParseFileRecord(line));
  ASSERT_EQ(records.size(), 3u);
  fsys::create_directories(Resume());
  fsys::copy_file(f.DayFolder("01032006") + "/" + records[0].storedName, Resume() + "/copy-7");
  fsys::remove_all(f.DayFolder("01032006"));
  f.ctx.station.lastBackupDate = KeptDay("31/12/2002");

  // a: a whole note and its copy; b: a note whose copy is gone; c: a note
  // cut short by a crash; and a file nobody noted.
  std::string notes;
  notes += "copy-7\t5\t" + records[0].Format() + "\n";
  notes += "copy-8\t5\t" + records[1].Format() + "\n";
  notes += "copy-9\t7\t" + records[2].Format();
  WriteFile(Resume() + "/copy-9", "whatever");
  WriteFile(Resume() + "/stray", "left by hand");
  WriteFile(Resume() + "/" + kResumeJournalName, notes);

  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  bool said = false;
  for (const auto& line : f.host.logged) {
    said = said || line.rfind("Reprise d'une sauvegarde interrompue : 1 copie(s)", 0) == 0;
  }
  EXPECT_TRUE(said);
  EXPECT_EQ(f.RestoreDay("01032006").files, f.Snapshot());
  EXPECT_FALSE(fsys::exists(Resume()));
}

// A kill between a copy's flush and its check leaves a "flushed" note: the
// next run checks that copy before it takes it, takes a checked one as it
// is, and compresses again a file whose copy does not decode.
TEST(CopyCheck, ACopyNotedBeforeItsCheckIsCheckedByTheNextRunBeforeItIsTaken) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  for (const char* name : {"a.bin", "b.bin", "c.bin"}) f.Write(name, Random(40000, name[0]));
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  std::vector<FileRecord> records;
  for (const auto& line : f.FileList("01032006")) records.push_back(*ParseFileRecord(line));
  ASSERT_EQ(records.size(), 3u);
  const std::string resume = f.root + "/" + f.stationName + "/" + kResumeFolderName;
  fsys::create_directories(resume);
  std::string journal;
  for (size_t i = 0; i < 3; ++i) {
    const std::string copy = "copy-" + std::to_string(7 + i);
    std::string bytes = ReadFile(f.DayFolder("01032006") + "/" + records[i].storedName);
    if (i == 1) bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x10);
    WriteFile(resume + "/" + copy, bytes);
    const std::string note = copy + "\t40000\t" + records[i].Format() + "\n";
    journal += "flushed\t" + note;
    if (i == 2) journal += note;  // c's check ended before the kill
  }
  WriteFile(resume + "/" + kResumeJournalName, journal);
  fsys::remove_all(f.DayFolder("01032006"));
  f.ctx.station.lastBackupDate = KeptDay("31/12/2002");

  std::map<std::string, int> opened;  // copy name -> reads
  std::mutex lock;
  disk.rule = [&](FsCall kind, const std::string& path) {
    if (kind == FsCall::kOpenRead && path.rfind(resume + "/copy-", 0) == 0) {
      const std::lock_guard<std::mutex> hold(lock);
      ++opened[path.substr(resume.size() + 1)];
    }
    return 0;
  };
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  disk.rule = nullptr;
  // a's copy was read back once, before it was taken; c's was taken as it
  // was; b's damaged one was refused and b compressed again.
  EXPECT_EQ(opened["copy-7"], 1);
  EXPECT_EQ(opened.count("copy-9"), 0u);
  const auto said = [&f](const std::string& start) {
    return std::any_of(f.host.logged.begin(), f.host.logged.end(),
                       [&start](const std::string& l) { return l.rfind(start, 0) == 0; });
  };
  EXPECT_TRUE(said("Reprise d'une sauvegarde interrompue : 2 copie(s)"));
  EXPECT_TRUE(said("ATTENTION: la copie de (" + records[1].fullPath +
                   ") faite avant l'arrêt de la sauvegarde ne redonne pas le fichier"));
  EXPECT_TRUE(f.host.errorWindow.empty());
  EXPECT_EQ(f.RestoreDay("01032006").files, f.Snapshot());
  EXPECT_FALSE(fsys::exists(resume));
}

TEST(CopyCheck, ACopyDamagedBeforeItIsReadBackIsNotListedAndIsStoredAgain) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  const std::string kept = f.Write("kept.txt", "an older version that stays restorable");
  f.Write("other.txt", "untouched");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto day1 = f.Snapshot();

  f.SetDay(2, 3, 2006);
  f.Write("kept.txt", Random(300000, 7));
  const std::string fresh = f.Write("new.bin", Random(5000, 8));
  const std::string twinA = f.Write("twin-a.bin", Random(7000, 9));
  const std::string twinB = f.Write("twin-b.bin", Random(7000, 9));
  // Something between the write and the check (a failing disk, another
  // program) changes a byte in the middle of the day's first three copies:
  // kept.txt's, new.bin's and the one the twins share.
  int damaged = 0;
  disk.rule = [&damaged](FsCall kind, const std::string& path) {
    if (kind == FsCall::kOpenRead && path.find("/.vk-resume/copy-") != std::string::npos &&
        damaged++ < 3) {
      std::string bytes = ReadFile(path);
      bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x55);
      WriteFile(path, bytes);
    }
    return 0;
  };
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  disk.rule = nullptr;
  int refused = 0;
  for (const auto& line : f.host.logged) {
    refused += line.rfind("ERREUR: la copie compressée de (", 0) == 0;
  }
  EXPECT_EQ(refused, 3);
  // The twin that did not own the shared copy got one of its own.
  EXPECT_EQ(f.host.logged.end()[-2],
            "Vérification : 1 copie(s) relue(s) et décodée(s) sans erreur, 3 copie(s) "
            "refusée(s).");
  ASSERT_EQ(f.host.errorWindow.size(), 1u);
  // The day restores what it can vouch for: the older version of kept.txt,
  // and no new.bin at all rather than wrong bytes.
  const auto restored = f.RestoreDay("02032006");
  EXPECT_EQ(restored.errors, 0);
  EXPECT_EQ(restored.files.at(kept), day1.at(kept));
  EXPECT_EQ(restored.files.count(fresh), 0u);
  EXPECT_EQ(restored.files.count(twinA) + restored.files.count(twinB), 1u);
  for (const std::string& twin : {twinA, twinB}) {
    if (restored.files.count(twin) != 0) {
      EXPECT_TRUE(restored.files.at(twin) == ReadFile(twin)) << twin;
    }
  }

  f.SetDay(3, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.RestoreDay("03032006").files, f.Snapshot());
}

}  // namespace
}  // namespace varnoket::test
