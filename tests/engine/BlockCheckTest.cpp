// A large copy is checked block by block as it is written: each block read
// back from the disk proves its own bits, the frame around the blocks is
// read last, and a copy damaged anywhere, even in one bit, is refused.
#include <gtest/gtest.h>

#include <cstdio>

#include "engine/BlockCheck.h"
#include "engine/Checksum.h"
#include "engine/FileRecord.h"
#include "engine/ResumeCopies.h"
#include "support/BlockwiseCopy.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

class BlockCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source = MixedBytes(5);
    copy = CompressByBlocks(source);
    path = dir.path() + "/copy";
    WriteFile(path, copy.stored);
  }
  // Flips one bit of the copy on the disk.
  void FlipBit(uint64_t bit) {
    std::string bytes = copy.stored;
    bytes[bit / 8] = static_cast<char>(bytes[bit / 8] ^ (0x80 >> bit % 8));
    WriteFile(path, bytes);
  }
  std::vector<bool> SoundBlocks() {
    std::vector<bool> sound;
    for (const WrittenBlock& block : copy.blocks) {
      sound.push_back(CheckWrittenBlock(fs, path, block).sound);
    }
    return sound;
  }

  TempDir dir;
  PosixFileSystem fs;
  std::string source;
  BlockwiseCopy copy;
  std::string path;
};

TEST_F(BlockCheckTest, TheBlocksProveTheirBitsAndTheirSumsAddUpToTheFilesChecksum) {
  ASSERT_GE(copy.blocks.size(), 4u);
  uint32_t sum = 0;
  for (const WrittenBlock& block : copy.blocks) {
    const BlockCheckResult result = CheckWrittenBlock(fs, path, block);
    ASSERT_TRUE(result.sound) << block.firstBit;
    sum += result.sum;
  }
  WeightedSum whole;
  whole.Update(source.data(), source.size());
  EXPECT_EQ(sum, whole.Value());
  EXPECT_TRUE(CheckStreamFrame(fs, path, copy.blocksEnd, copy.combinedCrc));

  // Another CRC than the blocks', a byte too many or too few: no frame.
  EXPECT_FALSE(CheckStreamFrame(fs, path, copy.blocksEnd, copy.combinedCrc ^ 1));
  WriteFile(path, copy.stored + '\0');
  EXPECT_FALSE(CheckStreamFrame(fs, path, copy.blocksEnd, copy.combinedCrc));
  WriteFile(path, copy.stored.substr(0, copy.stored.size() - 1));
  EXPECT_FALSE(CheckStreamFrame(fs, path, copy.blocksEnd, copy.combinedCrc));
  WriteFile(path, copy.stored.substr(0, copy.blocks.back().endBit / 8 - 10));
  EXPECT_FALSE(CheckWrittenBlock(fs, path, copy.blocks.back()).sound);
  EXPECT_FALSE(CheckWrittenBlock(fs, dir.path() + "/none", copy.blocks[0]).readable);
}

TEST_F(BlockCheckTest, OneFlippedBitAnywhereIsFoundByTheBlockOrFrameThatHoldsIt) {
  // In the middle of the third block, and in the first and last bits of the
  // second (the last ones share their byte with the third block's first).
  const WrittenBlock& second = copy.blocks[1];
  const WrittenBlock& third = copy.blocks[2];
  for (const uint64_t bit :
       {(third.firstBit + third.endBit) / 2, second.firstBit, second.endBit - 1}) {
    FlipBit(bit);
    const std::vector<bool> sound = SoundBlocks();
    for (size_t i = 0; i < sound.size(); ++i) {
      const bool holds = copy.blocks[i].firstBit <= bit && bit < copy.blocks[i].endBit;
      EXPECT_EQ(sound[i], !holds) << "bit " << bit << ", block " << i;
    }
    EXPECT_TRUE(CheckStreamFrame(fs, path, copy.blocksEnd, copy.combinedCrc));
  }
  // The header, the end mark and the padding belong to the frame.
  for (const uint64_t bit : {uint64_t{5}, copy.blocksEnd + 3, copy.stored.size() * 8 - 1}) {
    FlipBit(bit);
    EXPECT_FALSE(CheckStreamFrame(fs, path, copy.blocksEnd, copy.combinedCrc)) << bit;
  }
}

std::string DayName(int day) {
  char name[16];
  std::snprintf(name, sizeof name, "%02d032006", day);
  return name;
}

// Through a whole run: the check of a large copy starts while the copy is
// being written, and a copy damaged on the disk meanwhile is refused, not
// listed, and stored again by the next run.
TEST(BlockCheckRun, ALargeCopyIsCheckedWhileWrittenAndOneDamagedOnTheDiskIsRefused) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  const std::string large = f.Write("large.bin", "");
  f.Write("small.txt", "small");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  std::string previous;
  int day = 2;
  for (const unsigned workers : {1u, 3u}) {
    SCOPED_TRACE(workers);
    f.ctx.workers = workers;
    // The first read of the copy comes while it is still being written: it
    // is then shorter than it ends. The read flips a bit in the blocks
    // already on the disk.
    int64_t firstReadSize = -1;
    disk.rule = [&](FsCall kind, const std::string& path) {
      if (kind == FsCall::kOpenRead && path.find("/.vk-resume/copy-") != std::string::npos &&
          firstReadSize < 0) {
        std::string bytes = ReadFile(path);
        firstReadSize = static_cast<int64_t>(bytes.size());
        bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x10);
        WriteFile(path, bytes);
      }
      return 0;
    };
    f.SetDay(day, 3, 2006);
    const std::string content = MixedBytes(6 + workers) + MixedBytes(7);
    f.Write("large.bin", content);
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
    disk.rule = nullptr;
    // The day restores the older version, never the damaged copy.
    EXPECT_EQ(f.RestoreDay(DayName(day)).files.at(large), previous);
    ASSERT_GT(firstReadSize, 0);
    EXPECT_LT(firstReadSize, static_cast<int64_t>(CompressByBlocks(content).stored.size()));
    int refused = 0;
    for (const auto& line : f.host.logged) {
      refused += line.rfind("ERREUR: la copie compressée de (" + large, 0) == 0;
    }
    EXPECT_EQ(refused, 1);
    f.host = RecordingHost();

    // The next run stores it again, and its copy is the one restored.
    f.SetDay(day + 1, 3, 2006);
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
    EXPECT_EQ(f.RestoreDay(DayName(day + 1)).files, f.Snapshot());
    previous = content;
    day += 2;
    f.host = RecordingHost();
  }
}

}  // namespace
}  // namespace varnoket::test
