#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Checksum.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

// The checksum written out the slow, obvious way: the optimised routine must
// agree with it on every input.
uint32_t ReferenceSum(const std::string& data) {
  uint32_t sum = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    sum += static_cast<uint32_t>(static_cast<unsigned char>(data[i])) *
           static_cast<uint32_t>(i % kChecksumBlockSize + 1);
  }
  return sum;
}

std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 gen(seed);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(gen() & 0xFF);
  return out;
}

uint32_t SumOf(const std::string& data) {
  WeightedSum sum;
  sum.Update(data.data(), data.size());
  return sum.Value();
}

TEST(WeightedSumTest, KnownValuesAndWeightRestartAtEachBlock) {
  EXPECT_EQ(SumOf("abc"), 590u);
  EXPECT_EQ(SumOf(""), 0u);
  // After one whole block the weights start again at 1.
  EXPECT_EQ(SumOf(std::string(32768, '\0') + "abc"), 590u);
  // 'a' is the last byte of the first block (weight 32768), "bc" open the next.
  EXPECT_EQ(SumOf(std::string(32767, '\0') + "abc"), 97u * 32768u + 98u * 1u + 99u * 2u);
  // A block of 0xFF bytes overflows 32 bits: 255 * 32768 * 32769 / 2 mod 2^32.
  EXPECT_EQ(SumOf(std::string(32768, '\xFF')), 3762274304u);
  EXPECT_EQ(SumOf(std::string(2 * 32768, '\xFF')), 3229581312u);
}

TEST(WeightedSumTest, AgreesWithReferenceOnRandomDataOfManyLengths) {
  const std::string data = RandomBytes(3 * kChecksumBlockSize + 1000, 7);
  std::vector<size_t> lengths = {1,     2,     31,    32,    33,    63,         64,    65,
                                 127,   1000,  4095,  32736, 32767, 32768,      32769, 65535,
                                 65536, 65537, 98303, 98304, 98305, data.size()};
  for (size_t n = 0; n < 300; ++n) lengths.push_back(n);
  for (size_t n : lengths) {
    // Unaligned starts too: the bytes rarely begin on a vector boundary.
    for (size_t start : {size_t{0}, size_t{1}, size_t{13}}) {
      if (start + n > data.size()) continue;
      const std::string piece = data.substr(start, n);
      EXPECT_EQ(SumOf(piece), ReferenceSum(piece)) << "length " << n << " start " << start;
    }
  }
}

TEST(WeightedSumTest, PiecesSplitAtOddOffsetsGiveTheWholeSum) {
  const std::string data = RandomBytes(4 * kChecksumBlockSize + 777, 11);
  const uint32_t expected = ReferenceSum(data);
  std::mt19937 gen(3);
  for (int round = 0; round < 20; ++round) {
    WeightedSum sum;
    size_t done = 0;
    while (done < data.size()) {
      // Mostly small odd pieces, sometimes more than a block at once.
      size_t piece = (gen() % 8 == 0) ? gen() % (2 * kChecksumBlockSize) : gen() % 5000;
      piece = std::min(piece | 1, data.size() - done);
      sum.Update(data.data() + done, piece);
      done += piece;
    }
    EXPECT_EQ(sum.Value(), expected) << "round " << round;
  }
  // A split exactly at a block boundary and one a byte either side of it.
  for (size_t cut : {kChecksumBlockSize - 1, kChecksumBlockSize, kChecksumBlockSize + 1}) {
    WeightedSum sum;
    sum.Update(data.data(), cut);
    sum.Update(data.data() + cut, data.size() - cut);
    EXPECT_EQ(sum.Value(), expected) << "cut " << cut;
  }
}

TEST(CalcCRC32Test, SumsTheFileAndPumpsBeforeEachBlock) {
  test::TempDir dir;
  const std::string data = RandomBytes(100000, 5);
  test::WriteFile(dir / "data.bin", data);
  int pumps = 0;
  EXPECT_EQ(CalcCRC32(dir / "data.bin", [&] { ++pumps; }), ReferenceSum(data));
  EXPECT_EQ(pumps, 4);  // 100000 bytes are four blocks of at most 32768

  test::WriteFile(dir / "abc.txt", "abc");
  EXPECT_EQ(CalcCRC32(dir / "abc.txt"), 590u);
  test::WriteFile(dir / "empty", "");
  EXPECT_EQ(CalcCRC32(dir / "empty"), 0u);
}

TEST(CalcCRC32Test, UnopenableFileGivesZeroAndEmptyPathIsABug) {
  test::TempDir dir;
  EXPECT_EQ(CalcCRC32(dir / "missing.txt"), 0u);
  try {
    CalcCRC32("");
    FAIL() << "an empty path must throw";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Nom de fichier vide dans CalcCRC32() !");
  }
}

}  // namespace
}  // namespace varnoket
