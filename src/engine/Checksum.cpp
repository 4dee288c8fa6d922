#include "engine/Checksum.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/FileSystem.h"

namespace varnoket {

namespace {

struct SpanSums {
  uint32_t plain = 0;     // sum of the bytes
  uint32_t weighted = 0;  // sum of byte * (index + 1)
};

// The hot loop of every backup run: each byte of the backup set passes here.
// Multiplying each byte by its weight does not vectorise well, so the bytes are
// taken in strides of kLanes and two running sums are kept per lane: the sum
// of the lane's bytes, and the sum of those running sums before each stride
// (which counts each byte once per later stride). From them the weight of the
// stride number is recovered with one multiplication per lane at the end. The
// inner loop is then only widening additions, which the compiler turns into
// wide vector code; the clones pick AVX2 where the processor has it. All of it
// is wrapping unsigned arithmetic, so the result equals the plain loop's.
__attribute__((target_clones("avx2", "default"))) SpanSums SumSpan(const uint8_t* p, size_t n) {
  constexpr size_t kLanes = 32;
  uint32_t laneSum[kLanes] = {};
  uint32_t laneEarlier[kLanes] = {};
  const size_t strides = n / kLanes;
  for (size_t s = 0; s < strides; ++s) {
    const uint8_t* q = p + s * kLanes;
    for (size_t i = 0; i < kLanes; ++i) {
      laneEarlier[i] += laneSum[i];
      laneSum[i] += q[i];
    }
  }
  // laneEarlier[i] = sum over strides s of (strides - 1 - s) * byte, so the
  // sum of s * byte is (strides - 1) * laneSum[i] - laneEarlier[i].
  SpanSums out;
  const auto last = static_cast<uint32_t>(strides) - 1u;
  for (size_t i = 0; i < kLanes; ++i) {
    const uint32_t strideWeighted = last * laneSum[i] - laneEarlier[i];
    out.plain += laneSum[i];
    out.weighted +=
        static_cast<uint32_t>(kLanes) * strideWeighted + static_cast<uint32_t>(i + 1) * laneSum[i];
  }
  for (size_t j = strides * kLanes; j < n; ++j) {
    out.plain += p[j];
    out.weighted += static_cast<uint32_t>(j + 1) * p[j];
  }
  return out;
}

}  // namespace

void WeightedSum::Update(const void* data, size_t size) {
  auto p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const size_t take = std::min(size, kChecksumBlockSize - blockOffset_);
    const SpanSums s = SumSpan(p, take);
    // Inside a block begun by an earlier call the weights run on from there.
    sum_ += static_cast<uint32_t>(blockOffset_) * s.plain + s.weighted;
    blockOffset_ = (blockOffset_ + take) % kChecksumBlockSize;
    p += take;
    size -= take;
  }
}

uint32_t CalcCRC32(FileSystem& fs, const std::string& path, const std::function<void()>& pump) {
  if (path.empty()) throw std::logic_error("Nom de fichier vide dans CalcCRC32() !");
  WeightedSum sum;
  try {
    const std::unique_ptr<FileStream> file = fs.OpenRead(path);
    int64_t remaining = file->Seek(0, SeekOrigin::kEnd);
    file->Seek(0, SeekOrigin::kBegin);
    std::vector<uint8_t> block(kChecksumBlockSize);
    while (remaining > 0) {
      if (pump) pump();
      const size_t want = static_cast<size_t>(std::min<int64_t>(remaining, kChecksumBlockSize));
      const size_t got = file->Read(block.data(), want);
      if (got == 0) break;  // the file shrank since it was opened
      sum.Update(block.data(), got);
      remaining -= static_cast<int64_t>(got);
    }
  } catch (const StreamError&) {
    // Unopenable gives 0; a failing read keeps what was summed before it.
  }
  return sum.Value();
}

uint32_t CalcCRC32(const std::string& path, const std::function<void()>& pump) {
  return CalcCRC32(DefaultFileSystem(), path, pump);
}

}  // namespace varnoket
