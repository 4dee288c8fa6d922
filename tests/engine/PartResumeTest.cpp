// A run stopped inside a large file leaves the blocks it wrote for the next
// run, which carries on from there: the stored copy is still exactly the
// standard stream, and nothing the stopped run left is taken unless it is
// whole, of the same source, and proven by the check of the whole copy.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "engine/FileRecord.h"
#include "engine/ResumeCopies.h"
#include "engine/RunProgress.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"
#include "support/TempDir.h"
#include "support/TestBytes.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

constexpr const char* kResumedLine = "Reprise de la copie de (";

class PartResumeTest : public ::testing::Test {
 protected:
  std::string Resume() const { return f.root + "/" + f.stationName + "/" + kResumeFolderName; }
  std::string Journal() const { return Resume() + "/" + kResumeJournalName; }

  // Files before and after a large one; the run is stopped when it has read
  // 9 MB of it.
  void StopInTheLargeFile() {
    f.Write("a/first.txt", "before the large one");
    large = f.Write("large/disk.img", RandomBytes(12'000'000, 9));
    f.Write("z/last.txt", "after it");
    f.host.cancelInFile = "/disk.img";
    f.host.cancelAtBytes = 9'000'000;
    f.ctx.daysKept = f.daysKept;
    ASSERT_EQ(RunBackup(f.ctx), BackupOutcome::kCancelled);
    f.host = RecordingHost();
    ASSERT_TRUE(fsys::exists(Journal()));
    // The blocks of more than 2 MB of it are noted.
    const std::string journal = ReadFile(Journal());
    const size_t part = journal.rfind("part\tcopy-");
    ASSERT_NE(part, std::string::npos) << journal;
    const size_t offset = journal.find('\t', part + 5) + 1;
    EXPECT_GE(std::stoull(journal.substr(offset, journal.find('\t', offset) - offset)), 2'000'000u);
  }

  bool Logged(const std::string& start) const {
    for (const auto& line : f.host.logged) {
      if (line.rfind(start, 0) == 0) return true;
    }
    return false;
  }

  // The run completes and its day restores byte for byte, the large file's
  // copy being the standard stream of it.
  void NextRunCompletes() {
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
    EXPECT_EQ(f.RestoreDay("01032006").files, f.Snapshot());
    for (const auto& line : f.FileList("01032006")) {
      const auto r = ParseFileRecord(line);
      if (!r || r->fullPath != large) continue;
      EXPECT_TRUE(ReadFile(f.DayFolder("01032006") + "/" + r->storedName) ==
                  StandardCompress(large));
    }
    EXPECT_FALSE(fsys::exists(Resume()));
  }

  FaultyFileSystem disk;
  StoreFixture f{disk};
  std::string large;
};

TEST_F(PartResumeTest, TheNextRunCarriesOnFromTheBlocksAStoppedRunWrote) {
  StopInTheLargeFile();
  NextRunCompletes();
  EXPECT_TRUE(Logged(std::string(kResumedLine) + large + ") là où elle s'était arrêtée : "));
}

TEST_F(PartResumeTest, APartOfASourceThatChangedSinceIsDropped) {
  // The source changed since (same size, newer bytes): the part is dropped.
  StopInTheLargeFile();
  std::string changed = ReadFile(large);
  changed[100] ^= 1;
  f.Write("large/disk.img", changed);
  NextRunCompletes();
  EXPECT_FALSE(Logged(kResumedLine));
}

TEST_F(PartResumeTest, APartThatCannotBeReadOrCopiedGivesWayToAFreshCopy) {
  for (const FsCall failing : {FsCall::kOpenRead, FsCall::kStreamWrite}) {
    SCOPED_TRACE(static_cast<int>(failing));
    StopInTheLargeFile();
    const std::string journal = ReadFile(Journal());
    const size_t name = journal.rfind("part\t") + 5;
    const std::string part = Resume() + "/" + journal.substr(name, journal.find('\t', name) - name);
    // The part's own read, or the first write of the copy it goes into.
    bool failed = false;
    disk.rule = [&](FsCall call, const std::string& path) {
      if (failed || call != failing) return 0;
      const bool hit = failing == FsCall::kOpenRead
                           ? path == part
                           : path.find("/.vk-resume/copy-") != std::string::npos;
      failed = hit;
      return hit ? EIO : 0;
    };
    NextRunCompletes();
    disk.rule = nullptr;
    EXPECT_TRUE(failed);
    EXPECT_FALSE(Logged(kResumedLine));
    f.Remove("large");
    f.Write("large/gone.txt", "the next case starts afresh");
    ASSERT_NE(f.Backup(), BackupOutcome::kFailed);
  }
}

TEST_F(PartResumeTest, ANoteCutShortIsIgnored) {
  StopInTheLargeFile();
  const std::string journal = ReadFile(Journal());
  const size_t last = journal.rfind("part\t");
  const std::string cut = journal.substr(last, (journal.size() - last) / 2);
  WriteFile(Journal(), cut);
  NextRunCompletes();
  EXPECT_FALSE(Logged(kResumedLine));
}

TEST_F(PartResumeTest, ADamagedPartIsRefusedByTheCheckAndTheFileStoredAgain) {
  StopInTheLargeFile();
  // A byte of the part's blocks rots on the disk before the next run.
  const std::string journal = ReadFile(Journal());
  const size_t part = journal.rfind("part\t") + 5;
  const std::string copy = Resume() + "/" + journal.substr(part, journal.find('\t', part) - part);
  std::string bytes = ReadFile(copy);
  ASSERT_GT(bytes.size(), 1'000'000u);
  bytes[bytes.size() / 2] ^= 0x40;
  WriteFile(copy, bytes);

  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_TRUE(Logged(kResumedLine));
  EXPECT_TRUE(Logged("ERREUR: la copie compressée de (" + large + ") relue après écriture"));
  // Not listed today; the next run stores it whole.
  for (const auto& line : f.FileList("01032006")) {
    EXPECT_EQ(line.find(large), std::string::npos) << line;
  }
  f.host = RecordingHost();
  f.SetDay(2, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.RestoreDay("02032006").files, f.Snapshot());
}

// Every field of a part note is outside input: a note is taken only when
// each is sound and its copy holds at least the bytes it names.
TEST(ResumeCopiesParts, OnlySoundNotesOfCopiesThatHoldTheirBytesAreKept) {
  TempDir tmp;
  const StoreLayout layout(PathRules(PathStyle::kPosix), tmp / "store", "PC");
  const std::string folder = tmp / "store/PC/.vk-resume";
  WriteFile(folder + "/copy-3", std::string(5000, 'x'));
  const std::string sound = "part\tcopy-3\t2000000\t4000\t123\t5\t3\t9000000\t-7\t11\t/src/a\tb";
  const std::vector<std::pair<std::string, bool>> lines{
      {sound, true},
      {"part\tcopy-3\t2000000\t4000\t123\t5\t9\t9000000\t-7\t11\t/src/a\tb", false},
      {"part\tcopy-3\t2000000\t4000\t123\t8\t3\t9000000\t-7\t11\t/src/a\tb", false},
      {"part\tcopy-3\t9000000\t4000\t123\t5\t3\t9000000\t-7\t11\t/src/a\tb", false},
      {"part\tcopy-3\t0\t4000\t123\t5\t3\t9000000\t-7\t11\t/src/a\tb", false},
      {"part\tcopy-3\t2000000\t6000\t123\t5\t3\t9000000\t-7\t11\t/src/a\tb", false},
      {"part\tcopy-3\t2000000\t4000\t4294967296\t5\t3\t9000000\t-7\t11\t/src/a\tb", false},
      {"part\tcopy-4\t2000000\t4000\t123\t5\t3\t9000000\t-7\t11\t/src/a\tb", false},
      {"part\t../copy-3\t2000000\t4000\t123\t5\t3\t9000000\t-7\t11\t/src/a\tb", false},
      {"part\tcopy-3\t2000000\t4000\t123\t5\t3\t9000000\t-7\t11\t", false},
      {"part\tcopy-3\t2000000\t4000\t123\t5\t3\t9000000\tx\t11\t/src/a\tb", false},
      {"part\tcopy-3\t2000000\t4000\t123\t5\t3\t9000000", false},
  };
  for (const auto& [line, kept] : lines) {
    SCOPED_TRACE(line);
    WriteFile(folder + "/" + kResumeJournalName, line + "\n");
    ResumeCopies resume(DefaultFileSystem(), layout);
    resume.Load();
    const auto part = resume.KeepPart("/src/a\tb", 9000000);
    ASSERT_EQ(part.has_value(), kept);
    if (!kept) continue;
    EXPECT_EQ(part->copy, folder + "/copy-3");
    EXPECT_EQ(part->sourceOffset, 2000000u);
    EXPECT_EQ(part->copyBytes, 4000u);
    EXPECT_EQ(part->stream.combinedCrc, 123u);
    EXPECT_EQ(part->stream.partial, 5u);
    EXPECT_EQ(part->stream.partialBits, 3);
    EXPECT_EQ(part->modifiedNs, -7);
    EXPECT_EQ(part->changedNs, 11);
    // A part is kept once.
    EXPECT_FALSE(resume.KeepPart("/src/a\tb", 9000000).has_value());
  }
  // A copy the journal also notes whole went past its parts.
  WriteFile(folder + "/" + kResumeJournalName,
            sound + "\ncopy-3\t9000000\t" +
                FormatFileRecord(9000000, 1, "_/a.ZZ", "/src/a\tb", 0100644, 0) + "\n");
  ResumeCopies resume(DefaultFileSystem(), layout);
  resume.Load();
  EXPECT_FALSE(resume.KeepPart("/src/a\tb", 9000000).has_value());
}

}  // namespace
}  // namespace varnoket::test
