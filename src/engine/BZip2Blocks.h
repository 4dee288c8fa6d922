// Compressing one file on several cores with the very bytes the library's
// single-threaded compressor makes at block size 9 (900 k).
//
// The compressor cuts its input into blocks and compresses each on its own;
// only the stream's end marker ties them together, through a CRC combined
// from the blocks' CRCs. So the input is cut where the compressor would cut
// it (BlockCutter), each piece is compressed as a stream of its own
// (CompressPiece, on any thread), and the pieces' block bits are written one
// after another between one stream header and one end marker
// (BZip2StreamJoiner). A file of one piece is simply that piece's stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/BZip2Bits.h"

namespace varnoket {

// Follows the compressor's first stage (runs of 4 to 255 equal bytes become
// 4 bytes and a count) over the input, fed in any pieces, and finds where
// each block but the first begins: a block closes as soon as its coded size
// reaches 100000 * 9 - 19 bytes, and the byte that made it full (pending at
// that moment, its run not yet coded) opens the next block. That holds even
// for the input's last byte, which then makes a block of its own: the stored
// streams are made by feeding the whole input and only then finishing, and
// the library closes a full block as soon as the input fed so far runs out.
class BlockCutter {
 public:
  // Feeds the next `count` bytes of the input. Appends to `cuts` the input
  // offsets (from the input's first byte) where a block begins.
  void Feed(const char* data, size_t count, std::vector<uint64_t>& cuts);
  // Input bytes fed so far.
  uint64_t fed() const { return fed_; }

 private:
  uint64_t fed_ = 0;
  uint32_t coded_ = 0;  // coded bytes of the current block
  int pending_ = -1;    // the byte of the run not yet coded, -1 before any
  uint32_t runLength_ = 0;
};

// One piece compressed as a complete stream of its own at block size 9:
// "BZh9", its block (none for an empty piece), the end marker, the CRC and
// zero bits up to a whole byte.
struct CompressedPiece {
  std::string stream;
  uint64_t blockBitsEnd = 32;  // the block's bits are stream bits [32, blockBitsEnd)
  uint32_t blockCrc = 0;       // the block's CRC (the stream's CRC too)
};

// Compresses one piece, which must be the input of one block at most (the
// bytes between two cuts of a BlockCutter). Safe to call from several
// threads at once. Throws BZip2CompressionError on a library failure, and
// when the piece made more than one block.
CompressedPiece CompressPiece(const char* data, size_t count);

// Writes one stream from pieces given in order: their block bits one after
// another, between one header and one end marker carrying the combined CRC.
// Whole bytes are handed out as soon as they are complete, so nothing larger
// than one piece is ever held.
class BZip2StreamJoiner {
 public:
  // Appends to `out` the bytes completed by the header ("BZh9").
  void Begin(std::string& out);
  // Appends to `out` the bytes completed by `piece`'s block bits.
  void Add(const CompressedPiece& piece, std::string& out);
  // Appends the end marker, the combined CRC and the last, padded byte.
  void Finish(std::string& out);

  // Where the stream stands between two pieces: what a run that stopped
  // keeps, to write the rest of the same stream later.
  struct State {
    uint32_t combinedCrc = 0;
    uint32_t partial = 0;  // the bits not yet written out, fewer than 8
    int partialBits = 0;
  };
  State Saved() const { return {combinedCrc_, bits_.partial(), bits_.partialBits()}; }
  // Carries on from `state`, after the bytes written before it was saved.
  void Resume(const State& state) {
    combinedCrc_ = state.combinedCrc;
    bits_.Restore(state.partial, state.partialBits);
  }

 private:
  uint32_t combinedCrc_ = 0;
  BitWriter bits_;
};

}  // namespace varnoket
