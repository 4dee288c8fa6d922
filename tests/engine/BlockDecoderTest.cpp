// Decoding a stored copy's blocks on several cores: the bytes are those of
// the one-block-after-another decoder, a damaged block is found and named
// and nothing after it reaches the target, and whatever the block pass
// cannot prove is judged again by the plain decoder, whose verdict stands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/BZip2.h"
#include "engine/BlockDecoder.h"
#include "support/BlockwiseCopy.h"

namespace varnoket {
namespace {

using test::CompressByBlocks;
using test::MixedBytes;

struct Decoded {
  BlockDecodeOutcome outcome;
  std::string bytes;
};

Decoded Blocks(const std::string& stored, unsigned workers) {
  MemoryStream in(stored);
  MemoryStream out;
  WorkerPool pool(workers);
  Decoded d;
  int pumps = 0;
  d.outcome = DecodeBlocks(in, out, pool, [&pumps] { ++pumps; });
  d.bytes = out.data();
  EXPECT_GT(pumps, 0);
  return d;
}

// What DecompressCopy gives on two workers, and whether it had to start
// again: bytes, completeness, or the decoder's error.
struct Verdict {
  std::string bytes;
  bool complete = false;
  std::string error;
  int restarts = 0;
  BlockDecodeOutcome failure;
};

Verdict Judge(const std::string& stored, bool blockwise) {
  MemoryStream in(stored);
  std::vector<std::unique_ptr<MemoryStream>> targets;
  targets.push_back(std::make_unique<MemoryStream>());
  Verdict v;
  WorkerPool pool(2);
  auto restart = [&]() -> Stream& {
    ++v.restarts;
    targets.push_back(std::make_unique<MemoryStream>());
    return *targets.back();
  };
  try {
    const DecompressResult r =
        DecompressCopy(in, *targets[0], blockwise ? &pool : nullptr, restart, {}, &v.failure);
    v.complete = r.complete;
  } catch (const BZip2DecompressionError& e) {
    v.error = e.what();
  }
  v.bytes = targets.back()->data();
  return v;
}

TEST(BlockDecoderTest, AnyNumberOfWorkersGivesTheBytesOfTheStreamAndOfConcatenatedStreams) {
  const std::string bytes = MixedBytes(1);
  const auto copy = CompressByBlocks(bytes);
  ASSERT_GE(copy.blockStarts.size(), 4u);
  {
    // The block-wise compressor makes what the plain one makes.
    MemoryStream in(bytes), out;
    CompressFile(in, out);
    ASSERT_EQ(out.data(), copy.stored);
  }
  for (unsigned workers : {1u, 2u, 3u}) {
    SCOPED_TRACE(workers);
    const Decoded d = Blocks(copy.stored, workers);
    EXPECT_TRUE(d.outcome.proven);
    EXPECT_TRUE(d.outcome.result.complete);
    EXPECT_EQ(d.outcome.result.bytesWritten, static_cast<int64_t>(bytes.size()));
    EXPECT_TRUE(d.bytes == bytes);
  }
  // Streams one after another, an empty one among them, decode as one.
  const std::string second = MixedBytes(2).substr(0, 1200000);
  const std::string joined =
      copy.stored + CompressByBlocks("").stored + CompressByBlocks(second).stored;
  const Decoded d = Blocks(joined, 3);
  EXPECT_TRUE(d.outcome.proven);
  EXPECT_TRUE(d.bytes == bytes + second);
}

TEST(BlockDecoderTest, ADamagedBlockIsNamedAndNothingFromItOnReachesTheTarget) {
  const std::string bytes = MixedBytes(3);
  auto copy = CompressByBlocks(bytes);
  ASSERT_GE(copy.blockStarts.size(), 4u);
  const size_t third = copy.blockStarts[2];
  copy.stored[third + (copy.blockStarts[3] - third) / 2] ^= 0x55;

  const Decoded d = Blocks(copy.stored, 3);
  EXPECT_FALSE(d.outcome.proven);
  EXPECT_EQ(d.outcome.failedBlock, 3u);
  EXPECT_EQ(d.outcome.failedByte, third);
  // Only the two blocks before it were handed on, each proven by its CRC.
  EXPECT_LT(d.bytes.size(), bytes.size());
  EXPECT_TRUE(bytes.compare(0, d.bytes.size(), d.bytes) == 0);

  // The plain decoder then judges the copy damaged too, and the block
  // found first is kept for the message.
  const Verdict v = Judge(copy.stored, true);
  EXPECT_FALSE(v.error.empty());
  EXPECT_EQ(v.error, Judge(copy.stored, false).error);
  EXPECT_EQ(v.restarts, 1);
  EXPECT_EQ(v.failure.failedBlock, 3u);
}

TEST(BlockDecoderTest, WhatTheBlockPassCannotProveGetsThePlainDecodersVerdict) {
  const std::string bytes = MixedBytes(4);
  const auto copy = CompressByBlocks(bytes);
  std::string badEnd = copy.stored;
  badEnd[badEnd.size() - 2] ^= 0x01;  // in the combined CRC
  const std::vector<std::pair<const char*, std::string>> cases{
      {"whole", copy.stored},
      {"cut inside a block", copy.stored.substr(0, copy.blockStarts[3] + 1000)},
      {"cut at the end mark", copy.stored.substr(0, copy.stored.size() - 6)},
      {"bytes after the stream", copy.stored + "not a stream at all"},
      {"a second stream cut short", copy.stored + copy.stored.substr(0, copy.stored.size() / 2)},
      {"wrong combined CRC", badEnd},
      {"no stream at all", std::string(1500000, 'x')},
  };
  for (const auto& [name, stored] : cases) {
    SCOPED_TRACE(name);
    const Verdict blockwise = Judge(stored, true);
    const Verdict plain = Judge(stored, false);
    EXPECT_EQ(blockwise.error, plain.error);
    EXPECT_EQ(blockwise.complete, plain.complete);
    EXPECT_TRUE(blockwise.bytes == plain.bytes);
    ASSERT_GE(static_cast<int64_t>(stored.size()), kBlockDecodeMinimum);
    EXPECT_EQ(blockwise.restarts, std::string(name) == "whole" ? 0 : 1);
  }
}

}  // namespace
}  // namespace varnoket
