#include "engine/BZip2Blocks.h"

#include <bzlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstring>
#include <string>

#include "engine/BZip2.h"
#include "engine/BZip2Bits.h"

namespace varnoket {
namespace {

// The compressor's coded-size limit for one block at block size 9.
constexpr uint32_t kBlockCodedLimit = 100000 * 9 - 19;

constexpr uint64_t kHeaderBits = kStreamHeaderBits;
constexpr uint64_t kBlockCrcOffset = 80;    // after the header and the block magic
constexpr uint64_t kTrailerBits = 48 + 32;  // end marker and stream CRC

// Coded bytes of a run of `length` equal bytes (0 for no run at all).
constexpr uint32_t RunCodedSize(uint32_t length) {
  return length < 4 ? length : 5;
}

uint64_t Load64(const unsigned char* p) {
  uint64_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

// Bit i set when byte i of `x` (counted from the lowest) is not zero.
uint32_t NonZeroBytes(uint64_t x) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  const uint64_t high = (((x & kLow7) + kLow7) | x) & ~kLow7;
  // Moves bit 8i to bit 56 + i; for 0/1 bytes the other partial products
  // never reach the top byte.
  return static_cast<uint32_t>(((high >> 7) * 0x0102040810204080ULL) >> 56);
}

// For 8 bytes whose bit i is set when byte i differs from the byte before it
// (so ends the run before it): the coded size of the runs that begin and end
// inside the 8 bytes, between the first such byte and the last.
constexpr auto kInnerRunsCodedSize = [] {
  std::array<uint8_t, 256> sizes{};
  for (int ends = 1; ends < 256; ++ends) {
    int previous = -1;
    for (int i = 0; i < 8; ++i) {
      if ((ends >> i & 1) == 0) continue;
      if (previous >= 0) sizes[ends] += static_cast<uint8_t>(RunCodedSize(i - previous));
      previous = i;
    }
  }
  return sizes;
}();

// The word paths read 8 input bytes as one number, the first byte lowest.
constexpr bool kWordPaths = std::endian::native == std::endian::little;

}  // namespace

void BlockCutter::Feed(const char* data, size_t count, std::vector<uint64_t>& cuts) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const auto* const end = p + count;
  const uint64_t base = fed_;
  // No pending byte is a value no byte has, with a run of 0 costing nothing.
  uint32_t ch = pending_ < 0 ? 256 : static_cast<uint32_t>(pending_);
  uint32_t length = pending_ < 0 ? 0 : runLength_;
  uint32_t coded = coded_;

  while (p < end) {
    if (kWordPaths && ch <= 255 && end - p >= 8 && length + 8 <= 255) {
      // Eight bytes at once. A byte unlike the one before it ends the run
      // before it: the first such byte ends the pending run, the others end
      // the short runs inside the word, and the last one begins the new
      // pending run. Taken whole unless the block fills up inside them (the
      // byte path then finds the exact byte).
      const uint64_t word = Load64(p);
      const uint32_t ends = NonZeroBytes(word ^ (word << 8 | ch));
      if (ends == 0) {
        length += 8;
        p += 8;
        continue;
      }
      // Every byte unlike the one before: the common case of varied data.
      const bool allEnds = ends == 0xFF;
      const int first = allEnds ? 0 : std::countr_zero(ends);
      const int last = allEnds ? 7 : 31 - std::countl_zero(ends);
      const uint32_t added = RunCodedSize(length + first) + kInnerRunsCodedSize[ends];
      if (coded + added < kBlockCodedLimit) {
        coded += added;
        ch = p[7];
        length = static_cast<uint32_t>(8 - last);
        p += 8;
        continue;
      }
    }
    const uint32_t c = *p;
    if (c != ch || length == 255) {
      coded += RunCodedSize(length);
      ch = c;
      length = 1;
      if (coded >= kBlockCodedLimit) {
        // The block is full: it closes without the byte just taken, whose
        // run opens the next block.
        cuts.push_back(base +
                       static_cast<uint64_t>(p - reinterpret_cast<const unsigned char*>(data)));
        coded = 0;
      }
    } else {
      ++length;
    }
    ++p;
  }

  fed_ = base + count;
  coded_ = coded;
  if (ch <= 255) {
    pending_ = static_cast<int>(ch);
    runLength_ = length;
  }
}

CompressedPiece CompressPiece(const char* data, size_t count) {
  // The library counts input in unsigned ints; one block's input is far less.
  if (count > UINT_MAX) throw BZip2CompressionError("piece does not fit in one block");
  bz_stream bz{};
  int status = BZ2_bzCompressInit(&bz, 9, 0, 0);
  if (status != BZ_OK) throw BZip2CompressionError("error " + std::to_string(status));

  CompressedPiece piece;
  // A block never grows by more than about 1% and a few hundred bytes; its
  // coded size, not the input size, bounds it (long runs shrink first).
  const size_t bound = std::min<size_t>(count, kBlockCodedLimit + 5);
  piece.stream.resize(bound + bound / 100 + 1024);
  bz.next_in = const_cast<char*>(data);  // the library never writes through it
  bz.avail_in = static_cast<unsigned int>(count);
  size_t produced = 0;
  while (true) {
    bz.next_out = piece.stream.data() + produced;
    bz.avail_out = static_cast<unsigned int>(piece.stream.size() - produced);
    status = BZ2_bzCompress(&bz, BZ_FINISH);
    produced = piece.stream.size() - bz.avail_out;
    if (status == BZ_STREAM_END) break;
    if (status < 0) {
      BZ2_bzCompressEnd(&bz);
      throw BZip2CompressionError("error " + std::to_string(status));
    }
    piece.stream.resize(piece.stream.size() * 2);
  }
  BZ2_bzCompressEnd(&bz);
  piece.stream.resize(produced);

  const uint64_t totalBits = uint64_t{produced} * 8;
  if (count == 0) {
    // Header, end marker, CRC 0 and no padding.
    if (totalBits != kHeaderBits + kTrailerBits) {
      throw BZip2CompressionError("unexpected stream for an empty piece");
    }
    piece.blockBitsEnd = kHeaderBits;
    piece.blockCrc = 0;
    return piece;
  }

  if (totalBits < kBlockCrcOffset + 32 + kTrailerBits ||
      ReadBits(piece.stream, kHeaderBits, 48) != kBlockMagic) {
    throw BZip2CompressionError("unexpected stream for a piece");
  }
  piece.blockCrc = static_cast<uint32_t>(ReadBits(piece.stream, kBlockCrcOffset, 32));
  // The stream ends with 0 to 7 zero bits after the trailer; with one block
  // the stream CRC is the block's, which also tells a piece that made more
  // than one block (its stream CRC is a combination).
  for (int padding = 0; padding < 8; ++padding) {
    const uint64_t trailerEnd = totalBits - padding;
    if (ReadBits(piece.stream, trailerEnd, padding) == 0 &&
        ReadBits(piece.stream, trailerEnd - kTrailerBits, 48) == kEndMarker &&
        ReadBits(piece.stream, trailerEnd - 32, 32) == piece.blockCrc) {
      piece.blockBitsEnd = trailerEnd - kTrailerBits;
      return piece;
    }
  }
  throw BZip2CompressionError("piece does not fit in one block");
}

void BZip2StreamJoiner::Begin(std::string& out) {
  combinedCrc_ = 0;
  bits_.Reset();
  out.append("BZh9");
}

void BZip2StreamJoiner::Add(const CompressedPiece& piece, std::string& out) {
  combinedCrc_ = (combinedCrc_ << 1 | combinedCrc_ >> 31) ^ piece.blockCrc;
  // The block starts on a byte of its own stream, after its header.
  bits_.Append(reinterpret_cast<const unsigned char*>(piece.stream.data()), kHeaderBits,
               piece.blockBitsEnd - kHeaderBits, out);
}

void BZip2StreamJoiner::Finish(std::string& out) {
  bits_.Put(kEndMarker, 48, out);
  bits_.Put(combinedCrc_, 32, out);
  bits_.Flush(out);
}

}  // namespace varnoket
