#include "engine/BZip2Bits.h"

#include <algorithm>
#include <cstring>

namespace varnoket {

uint64_t ReadBits(const unsigned char* data, uint64_t bit, int count) {
  uint64_t value = 0;
  const uint64_t firstByte = bit / 8;
  const uint64_t lastByte = (bit + count + 7) / 8;
  for (uint64_t i = firstByte; i < lastByte; ++i) value = value << 8 | data[i];
  const uint64_t unused = lastByte * 8 - (bit + count);
  return (value >> unused) & ((uint64_t{1} << count) - 1);
}

// `count` is at most 56, so the waiting bits and the new ones fit in 64.
void BitWriter::Put(uint64_t value, int count, std::string& out) {
  uint64_t bits = uint64_t{partial_} << count | (value & ((uint64_t{1} << count) - 1));
  int available = partialBits_ + count;
  while (available >= 8) {
    available -= 8;
    out.push_back(static_cast<char>(bits >> available));
  }
  partial_ = static_cast<uint32_t>(bits & ((uint64_t{1} << available) - 1));
  partialBits_ = available;
}

void BitWriter::Append(const unsigned char* source, uint64_t bit, uint64_t count,
                       std::string& out) {
  // Up to a byte boundary of the source, a few bits at a time.
  while (count > 0 && bit % 8 != 0) {
    const int inByte = static_cast<int>(8 - bit % 8);
    const int take = static_cast<int>(std::min<uint64_t>(count, inByte));
    Put(source[bit / 8] >> (inByte - take), take, out);
    bit += take;
    count -= take;
  }
  const unsigned char* from = source + bit / 8;
  const size_t wholeBytes = static_cast<size_t>(count / 8);
  const int restBits = static_cast<int>(count % 8);
  // Each output byte is the waiting bits and the high part of the next
  // source byte.
  const int shift = partialBits_;
  const size_t start = out.size();
  out.resize(start + wholeBytes);
  auto* target = reinterpret_cast<unsigned char*>(out.data()) + start;
  if (shift == 0) {
    std::memcpy(target, from, wholeBytes);
  } else {
    uint32_t carry = partial_;
    const uint32_t keep = (1u << shift) - 1;
    for (size_t i = 0; i < wholeBytes; ++i) {
      const uint32_t byte = from[i];
      target[i] = static_cast<unsigned char>(carry << (8 - shift) | byte >> shift);
      carry = byte & keep;
    }
    partial_ = carry;
  }
  if (restBits > 0) Put(from[wholeBytes] >> (8 - restBits), restBits, out);
}

void BitWriter::Flush(std::string& out) {
  if (partialBits_ > 0) out.push_back(static_cast<char>(partial_ << (8 - partialBits_)));
  Reset();
}

}  // namespace varnoket
