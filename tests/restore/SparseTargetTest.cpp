// The decoded bytes of a restore reach the new file with their zero blocks
// left as holes, and the file reads back exactly the bytes given, however
// they were cut into writes. (The room a restored file takes: RestoreRunTest
// and the CLI's; a refused size: RestoreItemTest.)
#include <gtest/gtest.h>

#include "restore/SparseTarget.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::ReadFile;

// Bytes that are never zero, so that only the runs put in on purpose are.
std::string Data(size_t count, char seed) {
  std::string bytes(count, '\0');
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(1 + (seed + i * 7) % 250);
  return bytes;
}

std::string Zeros(size_t count) {
  return std::string(count, '\0');
}

class SparseTargetTest : public ::testing::Test {
 protected:
  // Writes `bytes` through a target in pieces of `piece` bytes and gives
  // back what the file then holds.
  std::string RoundTrip(const std::string& bytes, size_t piece) {
    const std::string path = tmp / ("f" + std::to_string(++files));
    auto out = fs.CreateNew(path);
    SparseTarget target(fs, *out);
    for (size_t at = 0; at < bytes.size(); at += piece) {
      target.WriteBuffer(bytes.data() + at, std::min(piece, bytes.size() - at));
    }
    EXPECT_EQ(target.Position(), static_cast<int64_t>(bytes.size()));
    target.Finish();
    out->Close();
    return ReadFile(path);
  }

  test::TempDir tmp;
  test::FaultyFileSystem fs;
  int files = 0;
};

TEST_F(SparseTargetTest, TheFileHoldsExactlyTheBytesGivenHoweverTheyAreCut) {
  const size_t b = SparseTarget::kBlockSize;
  const std::vector<std::string> contents{
      "",
      Zeros(1),
      Zeros(3 * b),                    // nothing but a hole
      Data(5, 1) + Zeros(3 * b + 17),  // ends in zeros: the size is set
      Zeros(2 * b + 3) + Data(b, 2),   // starts with a hole
      Data(b - 1, 3) + Zeros(2 * b + 2) + Data(b + 1, 4) + Zeros(b - 1) + Data(3, 5),
      Data(10 * b, 6),  // no zeros at all
      Data(b, 7) + Zeros(b) + Data(1, 8) + Zeros(5 * b) + Data(b, 9) + Zeros(b),
  };
  for (const std::string& bytes : contents) {
    for (const size_t piece : {size_t{1}, size_t{7}, b - 1, b, b + 1, size_t{65536}}) {
      EXPECT_EQ(RoundTrip(bytes, piece), bytes) << bytes.size() << " bytes in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace varnoket
