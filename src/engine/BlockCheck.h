// Checking a large copy block by block while it is being written, instead
// of decoding it whole once it is closed: a block is read back from the
// disk as soon as it is flushed there, on a worker, while later blocks are
// still being compressed.
//
// The copy step knows exactly where each block's bits are in the copy (it
// wrote them), which input bytes it holds and the CRC the compressor
// computed for them. A block is proven when those bits, read from the disk
// and made a stream of one block, decode whole to that many bytes with that
// CRC. The blocks follow one another bit for bit, so once every block is
// proven, the stream header before the first and the end mark, combined CRC
// and padding after the last are all that is left to read; together that
// is every bit of the copy, and the same proof as decoding it whole.
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace varnoket {

// One block the copy step wrote.
struct WrittenBlock {
  uint64_t firstBit = 0;      // its mark's first bit, counted from the copy's start
  uint64_t endBit = 0;        // the bit after its last
  uint32_t crc = 0;           // of its input, as the compressor computed it
  uint64_t sourceOffset = 0;  // where its input begins in the source
  uint64_t sourceBytes = 0;   // how many input bytes it holds
};

struct BlockCheckResult {
  bool sound = false;
  bool readable = true;  // false: the copy could not be opened or read
  uint32_t sum = 0;      // its input's share of the file's weighted checksum
};

// Reads the bytes that hold `block` from `copy` (its cached pages dropped
// first, so they come from the disk when they were flushed) and decodes
// them as a stream of one block. Safe to call from several threads at once
// when `fs` is.
BlockCheckResult CheckWrittenBlock(FileSystem& fs, const std::string& copy,
                                   const WrittenBlock& block);

// A block's check handed to a worker.
struct PendingBlockCheck {
  WrittenBlock block;
  std::shared_ptr<BlockCheckResult> result;
  std::shared_future<void> done;
};

// Where the checks of a copy's blocks begin: after the stream header for a
// new copy; after the blocks a stopped run proved, for a copy carried on
// from where it stopped.
struct CheckedPrefix {
  uint64_t bits = 32;        // the bit the next block begins at
  uint64_t sourceBytes = 0;  // the input those blocks hold
  uint32_t sum = 0;          // its share of the weighted checksum
  uint32_t combinedCrc = 0;  // combined from their CRCs
  // The bits of the byte that holds bit `bits` before it, which this run
  // wrote again: their value, checked on the disk too.
  uint32_t lead = 0;
};

// The CRC a stream's end mark carries, from its blocks' CRCs in order.
inline uint32_t CombineBlockCrc(uint32_t combined, uint32_t block) {
  return (combined << 1 | combined >> 31) ^ block;
}

// True when `copy` on the disk begins with the header of a stream at block
// size 9 and, from bit `blocksEnd` (the bit after its last block), holds
// the end mark, `combinedCrc`, zero bits to the end of that byte, and
// nothing after it.
bool CheckStreamFrame(FileSystem& fs, const std::string& copy, uint64_t blocksEnd,
                      uint32_t combinedCrc);
// True when `count` (at most 32) bits of `copy` on the disk, from bit `bit`,
// have `value`.
bool CheckBitsOnDisk(FileSystem& fs, const std::string& copy, uint64_t bit, int count,
                     uint32_t value);

}  // namespace varnoket
