#include "support/BlockwiseCopy.h"

#include <random>

#include "engine/BZip2Blocks.h"
#include "engine/BlockCheck.h"

namespace varnoket::test {

std::string MixedBytes(unsigned seed) {
  std::mt19937 gen(seed);
  std::string out;
  while (out.size() < 3400000) {
    switch (gen() % 3) {
      case 0:
        for (int i = 0; i < 40000; ++i) out.push_back(static_cast<char>(gen() & 0xFF));
        break;
      case 1:
        for (int i = 0; i < 4000; ++i) out += "line " + std::to_string(gen() % 1000) + " of text\n";
        break;
      default:
        out.append(gen() % 5000, static_cast<char>(gen() & 0xFF));
    }
  }
  return out;
}

BlockwiseCopy CompressByBlocks(const std::string& bytes) {
  BlockCutter cutter;
  std::vector<uint64_t> cuts;
  cutter.Feed(bytes.data(), bytes.size(), cuts);
  cuts.push_back(bytes.size());
  BlockwiseCopy copy;
  BZip2StreamJoiner joiner;
  joiner.Begin(copy.stored);
  uint64_t from = 0;
  auto bits = [&] { return copy.stored.size() * 8 + joiner.Saved().partialBits; };
  for (const uint64_t to : cuts) {
    copy.blockStarts.push_back(copy.stored.size());
    const uint64_t firstBit = bits();
    const CompressedPiece piece =
        CompressPiece(bytes.data() + from, static_cast<size_t>(to - from));
    joiner.Add(piece, copy.stored);
    copy.blocks.push_back({firstBit, bits(), piece.blockCrc, from, to - from});
    copy.combinedCrc = CombineBlockCrc(copy.combinedCrc, piece.blockCrc);
    from = to;
  }
  copy.blocksEnd = bits();
  joiner.Finish(copy.stored);
  return copy;
}

}  // namespace varnoket::test
