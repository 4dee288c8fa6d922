// Stored copies made block by block, for tests that need to know where each
// block of a copy begins (to damage one of them on purpose).
#pragma once

#include <string>
#include <vector>

#include "engine/BlockCheck.h"

namespace varnoket::test {

// About 3.4 MB that compress as a mix of packed data, text and long runs
// do: four blocks, and a copy well over the size that is decoded by blocks.
std::string MixedBytes(unsigned seed);

// The stored copy of some bytes, and the byte each of its blocks begins in.
struct BlockwiseCopy {
  std::string stored;
  std::vector<size_t> blockStarts;
  // Where each block's bits are and what it holds, as the copy step knows.
  std::vector<WrittenBlock> blocks;
  uint64_t blocksEnd = 0;  // the bit after the last block
  uint32_t combinedCrc = 0;
};
BlockwiseCopy CompressByBlocks(const std::string& bytes);

}  // namespace varnoket::test
