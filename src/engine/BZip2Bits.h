// The bit-level pieces of a bzip2 stream that the block-wise compressor and
// decoder share: the two 48-bit marks, reading a few bits at any bit offset,
// and writing bits after bits that do not fill a byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace varnoket {

// Opens every block; the block's CRC follows it.
inline constexpr uint64_t kBlockMagic = 0x314159265359;
// Closes the stream; the CRC combined from the blocks' follows it.
inline constexpr uint64_t kEndMarker = 0x177245385090;
inline constexpr uint64_t kStreamHeaderBits = 32;  // "BZh" and the block size digit
inline constexpr int kEndBits = 48 + 32;           // the end mark and the combined CRC

// Reads `count` (at most 57) bits of `data` from bit `bit`, first bit
// highest. The bits must be there.
uint64_t ReadBits(const unsigned char* data, uint64_t bit, int count);
inline uint64_t ReadBits(const std::string& data, uint64_t bit, int count) {
  return ReadBits(reinterpret_cast<const unsigned char*>(data.data()), bit, count);
}

// Appends bits to a byte string whose last bits may not fill a byte yet:
// those wait here until they do.
class BitWriter {
 public:
  // Appends the low `count` (at most 56) bits of `value`.
  void Put(uint64_t value, int count, std::string& out);
  // Appends bits [bit, bit + count) of `source`.
  void Append(const unsigned char* source, uint64_t bit, uint64_t count, std::string& out);
  // Pads the waiting bits with zeros to a whole byte.
  void Flush(std::string& out);
  void Reset() { partial_ = 0, partialBits_ = 0; }
  // The bits waiting (fewer than 8), to carry on later where this left off.
  uint32_t partial() const { return partial_; }
  int partialBits() const { return partialBits_; }
  void Restore(uint32_t partial, int partialBits) {
    partial_ = partial & ((1u << partialBits) - 1);
    partialBits_ = partialBits;
  }

 private:
  uint32_t partial_ = 0;  // bits not yet forming a whole byte, at the low end
  int partialBits_ = 0;
};

}  // namespace varnoket
