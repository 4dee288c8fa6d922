// The content checksum recorded in the file list for every backed-up file. It
// decides whether a file changed, so its value must never vary between runs,
// versions or machines: a position-weighted byte sum whose weight restarts at
// 1 at every 32768-byte block of the file, in wrapping unsigned 32-bit
// arithmetic. "abc" gives 97*1 + 98*2 + 99*3 = 590.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace varnoket {

class FileSystem;

// Block length after which the weight starts again at 1.
inline constexpr size_t kChecksumBlockSize = 32768;

// Accumulates the checksum over data given in pieces of any size; the block
// boundaries are counted from the first byte ever given, not per call.
class WeightedSum {
 public:
  WeightedSum() = default;
  // The share of bytes that begin at `offset` in the file: the sums of the
  // parts of a file, each from its own offset, add up to the file's.
  explicit WeightedSum(uint64_t offset)
      : blockOffset_(static_cast<size_t>(offset % kChecksumBlockSize)) {}

  void Update(const void* data, size_t size);
  uint32_t Value() const { return sum_; }

 private:
  uint32_t sum_ = 0;
  size_t blockOffset_ = 0;  // bytes of the current block already summed
};

// The checksum of a whole file, read in 32768-byte blocks with `pump` run
// before each block so a long file does not freeze the window. The size is
// taken when the file is opened and only that many bytes count; a file that
// cannot be opened gives 0, and a read that fails ends the sum where it is.
// Throws std::logic_error on an empty path (a caller's bug, not an input).
uint32_t CalcCRC32(FileSystem& fs, const std::string& path, const std::function<void()>& pump = {});
// The same on the real file system.
uint32_t CalcCRC32(const std::string& path, const std::function<void()>& pump = {});

}  // namespace varnoket
