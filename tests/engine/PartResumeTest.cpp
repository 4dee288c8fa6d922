// A run stopped inside a large file leaves the blocks it wrote for the next
// run, which carries on from there: the stored copy is still exactly the
// standard stream, and nothing the stopped run left is taken unless it is
// whole, of the same source, and proven by the check of the whole copy.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "engine/Checksum.h"
#include "engine/FileRecord.h"
#include "engine/ResumeCopies.h"
#include "engine/RunProgress.h"
#include "platform/TextLines.h"
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

  // The copy the last part note of the journal names.
  std::string PartCopy() const {
    const std::string journal = ReadFile(Journal());
    const size_t name = journal.rfind("part\t") + 5;
    return Resume() + "/" + journal.substr(name, journal.find('\t', name) - name);
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
  // Only the blocks this run writes are read back, not those the stopped
  // run proved: one opening of the copy for each, and a few for the bytes
  // around them.
  const std::string journal = ReadFile(Journal());
  const size_t field = journal.find('\t', journal.rfind("part\tcopy-") + 5) + 1;
  const uint64_t noted = std::stoull(journal.substr(field));
  const std::string part = PartCopy();
  int opened = 0;
  disk.rule = [&](FsCall call, const std::string& path) {
    opened += call == FsCall::kOpenRead && path == part;
    return 0;
  };
  NextRunCompletes();
  disk.rule = nullptr;
  EXPECT_TRUE(Logged(std::string(kResumedLine) + large + ") là où elle s'était arrêtée : "));
  // A block holds between 899,000 and 900,000 random bytes.
  EXPECT_GE(opened, static_cast<int>((12'000'000 - noted) / 900'000));
  EXPECT_LE(opened, static_cast<int>((12'000'000 - noted) / 899'000 + 1 + 4));
}

TEST_F(PartResumeTest, ALargeFileIsNotedAtEveryFlushSoAKillLosesLittle) {
  // A kill leaves only the notes written so far: they must follow the copy
  // closely all the way through a large file, not at ever wider steps.
  large = f.Write("large/disk.img", RandomBytes(30'000'000, 5));
  f.host.cancelInFile = "/disk.img";
  f.host.cancelAtBytes = 29'000'000;
  ASSERT_EQ(RunBackup(f.ctx), BackupOutcome::kCancelled);
  std::vector<uint64_t> offsets{0};
  for (const std::string& line : SplitLines(ReadFile(Journal()))) {
    if (line.rfind("part	", 0) != 0) continue;
    const size_t field = line.find('	', 5) + 1;
    offsets.push_back(std::stoull(line.substr(field)));
  }
  ASSERT_GT(offsets.back(), 20'000'000u) << ReadFile(Journal());
  // A flush every 8 MiB of source or more, up to a block (900 kB) late,
  // and a block whose last bits wait for the next one's.
  for (size_t i = 1; i < offsets.size(); ++i) {
    EXPECT_GT(offsets[i], offsets[i - 1]);
    EXPECT_LE(offsets[i] - offsets[i - 1], (uint64_t{8} << 20) + 2 * 900'000) << i;
  }
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

TEST_F(PartResumeTest, APartThatCannotBeOpenedReadOrCutGivesWayToAFreshCopy) {
  for (const FsCall failing : {FsCall::kCreate, FsCall::kStreamRead, FsCall::kSetStreamSize}) {
    SCOPED_TRACE(static_cast<int>(failing));
    StopInTheLargeFile();
    const std::string part = PartCopy();
    // The part's opening for writing, its read, or its cut after the
    // blocks its note names.
    bool failed = false;
    disk.rule = [&](FsCall call, const std::string& path) {
      if (failed || call != failing || path != part) return 0;
      failed = true;
      return EIO;
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

TEST_F(PartResumeTest, APartThatChangedOnTheDiskIsFoundBeforeItIsUsedAndTheFileStoredWhole) {
  StopInTheLargeFile();
  // A byte of the part's blocks rots on the disk before the next run.
  const std::string copy = PartCopy();
  std::string bytes = ReadFile(copy);
  ASSERT_GT(bytes.size(), 1'000'000u);
  bytes[bytes.size() / 3] ^= 0x40;
  WriteFile(copy, bytes);

  NextRunCompletes();
  EXPECT_FALSE(Logged(kResumedLine));
  EXPECT_TRUE(Logged("ATTENTION: la copie commencée de (" + large + ") a changé sur le disque"));
  EXPECT_FALSE(Logged("ERREUR"));
}

// Every field of a part note is outside input: a note is taken only when
// each is sound and its copy holds at least the bytes it names.
TEST(ResumeCopiesParts, OnlySoundNotesOfCopiesThatHoldTheirBytesAreKept) {
  TempDir tmp;
  const StoreLayout layout(PathRules(PathStyle::kPosix), tmp / "store", "PC");
  const std::string folder = tmp / "store/PC/.vk-resume";
  WriteFile(folder + "/copy-3", std::string(5000, 'x'));
  // A note line with its own sum, as the copy step writes it.
  auto note = [](const std::string& fields, const std::string& path = "/src/a\tb") {
    WeightedSum sum;
    sum.Update(fields.data(), fields.size());
    sum.Update(path.data(), path.size());
    return fields + std::to_string(sum.Value()) + "\t" + path;
  };
  const std::string sound =
      note("part\tcopy-3\t2000000\t4000\t123\t5\t3\t9000000\t-7\t11\t77\t88\t");
  std::string changed = sound;
  changed[changed.find("\t77\t") + 1] = '6';  // what the line sum was made from changed
  const std::vector<std::pair<std::string, bool>> lines{
      {sound, true},
      {changed, false},
      {note("part\tcopy-3\t2000000\t4000\t123\t5\t9\t9000000\t-7\t11\t77\t88\t"), false},
      {note("part\tcopy-3\t2000000\t4000\t123\t8\t3\t9000000\t-7\t11\t77\t88\t"), false},
      {note("part\tcopy-3\t9000000\t4000\t123\t5\t3\t9000000\t-7\t11\t77\t88\t"), false},
      {note("part\tcopy-3\t0\t4000\t123\t5\t3\t9000000\t-7\t11\t77\t88\t"), false},
      {note("part\tcopy-3\t2000000\t6000\t123\t5\t3\t9000000\t-7\t11\t77\t88\t"), false},
      {note("part\tcopy-3\t2000000\t4000\t4294967296\t5\t3\t9000000\t-7\t11\t77\t88\t"), false},
      {note("part\tcopy-3\t2000000\t4000\t123\t5\t3\t9000000\t-7\t11\t4294967296\t88\t"), false},
      {note("part\tcopy-4\t2000000\t4000\t123\t5\t3\t9000000\t-7\t11\t77\t88\t"), false},
      {note("part\t../copy-3\t2000000\t4000\t123\t5\t3\t9000000\t-7\t11\t77\t88\t"), false},
      {note("part\tcopy-3\t2000000\t4000\t123\t5\t3\t9000000\t-7\t11\t77\t88\t", ""), false},
      {note("part\tcopy-3\t2000000\t4000\t123\t5\t3\t9000000\tx\t11\t77\t88\t"), false},
      // Written by the version that noted parts without sums.
      {"part\tcopy-3\t2000000\t4000\t123\t5\t3\t9000000\t-7\t11\t/src/a\tb", false},
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
    EXPECT_EQ(part->decodedSum, 77u);
    EXPECT_EQ(part->storedSum, 88u);
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
