// What one read of a file's bytes tells about its content: the size, the file
// list's weighted checksum and, where files must be told apart for sure, a
// SHA-256 of the very same bytes. Two files share a stored copy only when
// their digests are equal with the SHA-256 present on both.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/Checksum.h"

namespace varnoket {

struct ContentDigest {
  int64_t size = 0;
  uint32_t checksum = 0;
  bool hasHash = false;
  std::array<uint8_t, 32> hash{};

  // Same content for certain: same size, checksum and strong hash.
  bool SameContent(const ContentDigest& other) const {
    return hasHash && other.hasHash && size == other.size && checksum == other.checksum &&
           hash == other.hash;
  }
};

// Builds a digest from the bytes of one read, in order.
class DigestBuilder {
 public:
  explicit DigestBuilder(bool withHash);
  ~DigestBuilder();
  DigestBuilder(const DigestBuilder&) = delete;
  DigestBuilder& operator=(const DigestBuilder&) = delete;

  void Update(const void* data, size_t size);
  ContentDigest Finish();
  // Starts a new digest, keeping what can be reused.
  void Reset(bool withHash);

 private:
  struct HashState;
  WeightedSum sum_;
  int64_t size_ = 0;
  bool withHash_ = false;
  std::unique_ptr<HashState> hash_;
};

}  // namespace varnoket
