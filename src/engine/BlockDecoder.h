// Decoding one stored copy on several cores. A bzip2 stream is a header,
// blocks that each decode on their own (each begins with a 48-bit mark and
// carries the CRC of its bytes) and an end mark with the CRC combined from
// the blocks'. The stored bytes are read once, in order; where a block mark
// is found, the bits up to the next mark are made into a stream of one block
// of their own and decoded on a worker; the decoded blocks are handed to the
// target strictly in order, and the combined CRC is checked at the end.
//
// The marks are found by their bits, which any compressed data may happen to
// hold too: a mark found by chance cuts a block in two, and the two halves
// do not decode. So this pass only ever proves a copy; when any part of it
// fails, the caller decodes the copy again from the start, one block after
// another, and that verdict stands. Nothing wrong is ever handed on: every
// block's bytes are checked against its CRC before the target sees them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/BZip2.h"
#include "platform/Stream.h"
#include "platform/WorkerPool.h"

namespace varnoket {

// Stored copies smaller than this hold a block or two: they are decoded on
// the caller's thread, one after another.
inline constexpr int64_t kBlockDecodeMinimum = 1 << 20;

// A stream of one block at block size `level`: bits [bit, end) of `data`
// (a block, from its mark) between a header and an end mark, whose CRC is
// the block's, `crc`.
std::string OneBlockStream(const unsigned char* data, uint64_t bit, uint64_t end, uint32_t crc,
                           int level = 9);

// Decodes a whole stream held in memory (as made of one block); nothing when
// it does not decode whole, CRCs included, or bytes follow its end.
std::optional<std::string> DecodeBlockStream(const std::string& stream);

struct BlockDecodeOutcome {
  bool proven = false;      // every block decoded, the combined CRC is right
  DecompressResult result;  // with proven: what was written
  // Without proven: the block (from 1) that would not decode, or the block
  // count plus one when what follows the blocks is wrong; where its mark is
  // in the stored file, in bytes (rounded down).
  uint64_t failedBlock = 0;
  uint64_t failedByte = 0;
};

// Decodes `stored` from its current position to its end into `target`,
// block by block on `pool`, running `pump` while it waits. A refusal of the
// target (StreamError) and a read failure of `stored` reach the caller.
// When the outcome is not proven, some of the bytes may have reached the
// target: the caller starts again with a fresh one.
BlockDecodeOutcome DecodeBlocks(Stream& stored, Stream& target, WorkerPool& pool,
                                const std::function<void()>& pump = {});

// Decodes `stored` (read from the start) like DecompressFile. When `pool`
// is given and the copy is large, its blocks are decoded on the pool; if
// that pass cannot prove the copy, `restart` must give a fresh target (the
// first one may hold part of the bytes), which the copy is decoded into
// again, one block after another. `firstFailure` (may be null) gets the
// block where the parallel pass stopped, for a message that names it.
DecompressResult DecompressCopy(Stream& stored, Stream& target, WorkerPool* pool,
                                const std::function<Stream&()>& restart,
                                const std::function<void()>& pump = {},
                                BlockDecodeOutcome* firstFailure = nullptr);

}  // namespace varnoket
