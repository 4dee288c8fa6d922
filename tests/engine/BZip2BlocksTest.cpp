#include <bzlib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <random>
#include <string>
#include <vector>

#include "engine/BZip2.h"
#include "engine/BZip2Blocks.h"
#include "platform/Stream.h"

namespace varnoket {
namespace {

constexpr size_t kBlockLimit = 899981;  // coded bytes that fill a block at size 9

std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 gen(seed);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(gen() & 0xFF);
  return out;
}

// Random bytes, each unlike the one before: every byte codes as one byte.
std::string NoRepeats(size_t size, uint32_t seed) {
  std::string out = RandomBytes(size, seed);
  for (size_t i = 1; i < size; ++i) {
    if (out[i] == out[i - 1]) out[i] = static_cast<char>(out[i] ^ 1);
  }
  return out;
}

// Runs of random bytes with lengths drawn from `lengths`.
std::string Runs(size_t size, uint32_t seed, const std::vector<size_t>& lengths) {
  std::mt19937 gen(seed);
  std::string out;
  while (out.size() < size) {
    out.append(lengths[gen() % lengths.size()], static_cast<char>(gen() & 0xFF));
  }
  out.resize(size);
  return out;
}

std::string TextLike(size_t size, uint32_t seed) {
  static const char* const kWords[] = {"sauvegarde ", "fichier ",  "jour ",    "station\t",
                                       "    ",        "liste\r\n", "0000000 ", "restaurer "};
  std::mt19937 gen(seed);
  std::string out;
  while (out.size() < size) out += kWords[gen() % 8];
  out.resize(size);
  return out;
}

// The stored stream of `data` made on one thread.
std::string OneThreadStream(const std::string& data) {
  MemoryStream source(data);
  MemoryStream target;
  CompressFile(source, target);
  return target.data();
}

std::string Decode(const std::string& stream, size_t expectedSize) {
  std::string out(expectedSize + 1, '\0');
  auto size = static_cast<unsigned int>(out.size());
  EXPECT_EQ(BZ2_bzBuffToBuffDecompress(out.data(), &size, const_cast<char*>(stream.data()),
                                       static_cast<unsigned int>(stream.size()), 0, 0),
            BZ_OK);
  out.resize(size);
  return out;
}

struct BlockResult {
  std::vector<uint64_t> cuts;
  std::string stream;
};

// Cuts `data` fed in chunks of the given sizes (used in turn), compresses
// the pieces (on threads of their own when `threads`) and joins them.
BlockResult CompressInBlocks(const std::string& data, const std::vector<size_t>& chunks,
                             bool threads = false) {
  BlockResult result;
  BlockCutter cutter;
  size_t offset = 0;
  for (size_t i = 0; offset < data.size(); ++i) {
    const size_t n = std::min(chunks[i % chunks.size()], data.size() - offset);
    cutter.Feed(data.data() + offset, n, result.cuts);
    offset += n;
  }
  EXPECT_EQ(cutter.fed(), data.size());
  if (data.empty()) {
    result.stream = CompressPiece(data.data(), 0).stream;
    return result;
  }

  std::vector<uint64_t> bounds{0};
  bounds.insert(bounds.end(), result.cuts.begin(), result.cuts.end());
  bounds.push_back(data.size());
  std::vector<std::future<CompressedPiece>> pieces;
  for (size_t i = 0; i + 1 < bounds.size(); ++i) {
    EXPECT_LT(bounds[i], bounds[i + 1]);
    pieces.push_back(std::async(threads ? std::launch::async : std::launch::deferred, CompressPiece,
                                data.data() + bounds[i], bounds[i + 1] - bounds[i]));
  }
  BZip2StreamJoiner joiner;
  joiner.Begin(result.stream);
  EXPECT_EQ(result.stream, "BZh9");
  uint64_t bits = 32;
  for (auto& future : pieces) {
    const CompressedPiece piece = future.get();
    joiner.Add(piece, result.stream);
    bits += piece.blockBitsEnd - 32;
    // Every complete byte is handed out at once.
    EXPECT_EQ(result.stream.size(), bits / 8);
  }
  joiner.Finish(result.stream);
  return result;
}

// Returns where the input was cut.
std::vector<uint64_t> ExpectSameAsOneThread(const std::string& data,
                                            const std::vector<size_t>& chunks,
                                            bool threads = false) {
  const BlockResult blocks = CompressInBlocks(data, chunks, threads);
  const std::string expected = OneThreadStream(data);
  EXPECT_EQ(blocks.stream.size(), expected.size());
  EXPECT_TRUE(blocks.stream == expected) << "bytes differ";
  EXPECT_TRUE(Decode(blocks.stream, data.size()) == data) << "decoded bytes differ";
  return blocks.cuts;
}

// `weight` copies of each of `shortRuns`, then each of `longRuns` once.
std::vector<size_t> Lengths(std::vector<size_t> shortRuns, int weight,
                            const std::vector<size_t>& longRuns) {
  std::vector<size_t> lengths;
  for (int i = 0; i < weight; ++i)
    lengths.insert(lengths.end(), shortRuns.begin(), shortRuns.end());
  lengths.insert(lengths.end(), longRuns.begin(), longRuns.end());
  return lengths;
}

const std::vector<size_t> kOddChunks{1, 7, 3, 8, 9, 4093, 65537, 1000003};

TEST(BZip2BlocksTest, RandomAndTextLikeInputsGiveTheOneThreadBytes) {
  for (size_t size : {size_t{0}, size_t{1}, size_t{2}, size_t{5}, size_t{17}}) {
    SCOPED_TRACE(size);
    EXPECT_TRUE(ExpectSameAsOneThread(RandomBytes(size, 1), kOddChunks).empty());
  }
  // 1, 2.5 and 4 blocks' worth of input; the few runs of 4 random bytes
  // code in 5 and may push the last bytes into one more block.
  for (size_t blocks10 : {10, 25, 40}) {
    SCOPED_TRACE(blocks10);
    const size_t cuts = ExpectSameAsOneThread(RandomBytes(kBlockLimit * blocks10 / 10, 2),
                                              kOddChunks, /*threads=*/true)
                            .size();
    EXPECT_GE(cuts, (blocks10 - 1) / 10);
    EXPECT_LE(cuts, (blocks10 - 1) / 10 + 1);
  }
  EXPECT_GE(ExpectSameAsOneThread(TextLike(3'000'000, 3), kOddChunks, /*threads=*/true).size(), 3u);
}

TEST(BZip2BlocksTest, RunsOfEveryLengthGiveTheOneThreadBytes) {
  // Short runs code in more bytes than they hold; long ones carry the input
  // size. Each mix is sized to fill a block at least once.
  EXPECT_GE(ExpectSameAsOneThread(Runs(3'000'000, 4, {1, 2, 3, 4, 5}), kOddChunks).size(), 2u);
  EXPECT_GE(ExpectSameAsOneThread(
                Runs(4'000'000, 5, Lengths({1, 2, 3, 4, 5}, 40, {17, 254, 255, 256, 259, 300})),
                kOddChunks)
                .size(),
            1u);
  EXPECT_GE(ExpectSameAsOneThread(Runs(4'000'000, 6, Lengths({1, 2, 3}, 60, {255, 256, 259})),
                                  {5, 64 * 1024 + 3})
                .size(),
            1u);
}

TEST(BZip2BlocksTest, BlocksFillingExactlyAtTheLimit) {
  // Bytes unlike their neighbours code one each: the byte that brings the
  // block to the limit opens the next one, even as the input's last byte.
  for (size_t size : {kBlockLimit, kBlockLimit + 1, 2 * kBlockLimit + 1}) {
    SCOPED_TRACE(size);
    std::vector<uint64_t> expected;
    for (uint64_t cut = kBlockLimit; cut < size; cut += kBlockLimit) expected.push_back(cut);
    EXPECT_EQ(ExpectSameAsOneThread(NoRepeats(size, 7), kOddChunks, /*threads=*/true), expected);
  }

  // A run of `run` equal bytes after a prefix that codes `prefix` bytes.
  struct Case {
    size_t prefix;
    size_t run;
    uint64_t cut;
  };
  const Case cases[] = {
      {kBlockLimit - 3, 10, kBlockLimit - 3 + 10},   // the run's 5 bytes pass the limit
      {kBlockLimit - 3, 3, kBlockLimit},             // a short run reaches it exactly
      {kBlockLimit - 3, 2, kBlockLimit},             // the byte after the run reaches it
      {kBlockLimit - 4, 300, kBlockLimit - 4 + 255}  // the cut falls inside the run
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefix + c.run);
    std::string data = NoRepeats(c.prefix, 8);
    const char runByte = static_cast<char>(data.back() ^ 0x55);
    data.append(c.run, runByte);
    data += NoRepeats(50'000, 9);
    if (data[c.prefix + c.run] == runByte) data[c.prefix + c.run] ^= 1;
    EXPECT_EQ(ExpectSameAsOneThread(data, {c.prefix, 1, 3, 8}), std::vector<uint64_t>{c.cut});
  }
}

TEST(BZip2BlocksTest, AllEqualBytesFillABlockWithTensOfMegabytes) {
  // Runs of 255 code in 5 bytes: the 179997th run's end passes the limit.
  const std::string data(50'000'000, 'a');
  EXPECT_EQ(ExpectSameAsOneThread(data, {3, 1 << 22}, /*threads=*/true),
            std::vector<uint64_t>{uint64_t{255} * 179997});
}

TEST(BZip2BlocksTest, PiecesAreStreamsOfTheirOwn) {
  const CompressedPiece empty = CompressPiece(nullptr, 0);
  EXPECT_EQ(empty.blockBitsEnd, 32u);
  EXPECT_EQ(empty.blockCrc, 0u);
  EXPECT_EQ(empty.stream, OneThreadStream(""));

  const std::string data = TextLike(100'000, 10);
  const CompressedPiece piece = CompressPiece(data.data(), data.size());
  EXPECT_EQ(piece.stream, OneThreadStream(data));
  // End marker, CRC and padding follow the block.
  EXPECT_GE(piece.stream.size() * 8, piece.blockBitsEnd + 80);
  EXPECT_LT(piece.stream.size() * 8, piece.blockBitsEnd + 88);

  // More than one block's input is refused, not joined into a wrong stream.
  const std::string tooLong = RandomBytes(kBlockLimit + 10, 11);
  EXPECT_THROW(CompressPiece(tooLong.data(), tooLong.size()), BZip2CompressionError);
}

}  // namespace
}  // namespace varnoket
