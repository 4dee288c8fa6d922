// Stored copies made block by block, for tests that need to know where each
// block of a copy begins (to damage one of them on purpose).
#pragma once

#include <string>
#include <vector>

namespace varnoket::test {

// About 3.4 MB that compress as a mix of packed data, text and long runs
// do: four blocks, and a copy well over the size that is decoded by blocks.
std::string MixedBytes(unsigned seed);

// The stored copy of some bytes, and the byte each of its blocks begins in.
struct BlockwiseCopy {
  std::string stored;
  std::vector<size_t> blockStarts;
};
BlockwiseCopy CompressByBlocks(const std::string& bytes);

}  // namespace varnoket::test
