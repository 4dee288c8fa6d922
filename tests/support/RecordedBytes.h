// What a day's list records of some bytes (low 32 bits of the size, and the
// weighted checksum), for tests that build records by hand.
#pragma once

#include <string>

#include "engine/Checksum.h"
#include "restore/RecordedContent.h"

namespace varnoket::test {

inline RecordedContent ContentOf(const std::string& bytes) {
  WeightedSum sum;
  sum.Update(bytes.data(), bytes.size());
  return RecordedContent{static_cast<int32_t>(static_cast<uint32_t>(bytes.size())), sum.Value()};
}

}  // namespace varnoket::test
