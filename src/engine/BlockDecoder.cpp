#include "engine/BlockDecoder.h"

#include <bzlib.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <deque>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "engine/BZip2Bits.h"

namespace varnoket {

namespace {

constexpr size_t kReadPiece = 1 << 20;
// What a block's mark is followed by that tells it from bits that merely
// look like one: its CRC, a "randomised" bit no current compressor sets,
// and the 24-bit start of its sort, within the block's size.
constexpr int kBlockHeadBits = 48 + 32 + 1 + 24;

enum class Mark { kBlock, kEnd };

// For each value of the byte after the one where a mark begins, which
// marks (bit 8 * mark + s) may begin at bit s of that one: the byte is the
// mark's bits 8 - s to 15 - s.
constexpr auto kMarkHints = [] {
  std::array<uint16_t, 256> hints{};
  const uint64_t marks[2] = {kBlockMagic, kEndMarker};
  for (int m = 0; m < 2; ++m) {
    for (int s = 0; s < 8; ++s) {
      hints[(marks[m] >> (32 + s)) & 0xFF] |= static_cast<uint16_t>(1u << (8 * m + s));
    }
  }
  return hints;
}();

// The stored bytes read so far that are still needed, from a byte on.
class Window {
 public:
  explicit Window(Stream& in) : in_(in) {}

  // Reads on until bit `end` is in, or the data ends; false when it ended.
  bool Have(uint64_t end) {
    while (EndBit() < end) {
      if (ended_) return false;
      const size_t old = data_.size();
      data_.resize(old + kReadPiece);
      const size_t got = in_.Read(data_.data() + old, kReadPiece);
      data_.resize(old + got);
      if (got == 0) ended_ = true;
    }
    return true;
  }
  uint64_t EndBit() const { return (first_ + data_.size()) * 8; }
  uint64_t Bits(uint64_t bit, int count) const {
    return ReadBits(Bytes(), bit - first_ * 8, count);
  }
  const unsigned char* Bytes() const {
    return reinterpret_cast<const unsigned char*>(data_.data());
  }
  uint64_t FirstByte() const { return first_; }
  // Forgets the bytes before the one that holds bit `bit`.
  void Drop(uint64_t bit) {
    const uint64_t byte = bit / 8;
    if (byte - first_ < kReadPiece) return;  // not worth moving the rest
    data_.erase(0, static_cast<size_t>(byte - first_));
    first_ = byte;
  }

 private:
  Stream& in_;
  std::string data_;
  uint64_t first_ = 0;  // the stored byte data_[0] is
  bool ended_ = false;
};

// Whether a block mark at `bit` is followed by a plausible block head.
bool PlausibleBlock(Window& w, uint64_t bit, int level) {
  if (!w.Have(bit + kBlockHeadBits)) return false;
  if (w.Bits(bit + 80, 1) != 0) return false;
  return w.Bits(bit + 81, 24) < static_cast<uint64_t>(100000) * level;
}

// Finds the first mark at or after bit `from`.
// A mark beginning in byte `byte` at or after bit `from`, if any; the
// byte's hints are not empty. The bytes up to `byte` + 7 are in the window.
std::optional<std::pair<uint64_t, Mark>> MarkAt(Window& w, uint64_t byte, uint64_t from,
                                                int level) {
  const uint64_t rel = byte - w.FirstByte();
  uint32_t hints = kMarkHints[w.Bytes()[rel + 1]];
  const bool whole = w.EndBit() >= (byte + 8) * 8;
  uint64_t word = 0;
  for (int i = 0; i < 8; ++i) word = word << 8 | (whole || i < 7 ? w.Bytes()[rel + i] : 0);
  for (; hints != 0; hints &= hints - 1) {
    const int hint = __builtin_ctz(hints);
    const int s = hint % 8;
    const uint64_t bit = byte * 8 + s;
    if (bit < from || bit + 48 > w.EndBit()) continue;
    const Mark mark = hint < 8 ? Mark::kBlock : Mark::kEnd;
    const uint64_t wanted = mark == Mark::kBlock ? kBlockMagic : kEndMarker;
    if (((word >> (16 - s)) & ((uint64_t{1} << 48) - 1)) != wanted) continue;
    if (mark == Mark::kBlock && !PlausibleBlock(w, bit, level)) continue;
    return std::make_pair(bit, mark);
  }
  return std::nullopt;
}

// Finds the first mark at or after bit `from`. Every byte of the stored
// copy passes here, so the bytes already read are looked at in one tight
// pass, a table telling at once those after which no mark can begin.
std::optional<std::pair<uint64_t, Mark>> FindMark(Window& w, uint64_t from, int level) {
  uint64_t byte = from / 8;
  while (true) {
    // A mark needs 7 bytes from the one it begins in; with all 8 of them
    // loaded the bytes go by in a run, the last 7 of the data one by one.
    if (!w.Have((byte + 8) * 8) && !w.Have((byte + 7) * 8)) return std::nullopt;
    const uint64_t loaded = w.EndBit() / 8;
    const uint64_t stop = loaded >= byte + 8 ? loaded - 7 : byte + 1;
    const unsigned char* next = w.Bytes() + (byte - w.FirstByte()) + 1;
    for (; byte < stop; ++byte, ++next) {
      if (kMarkHints[*next] == 0) continue;
      if (auto mark = MarkAt(w, byte, from, level)) return mark;
      next = w.Bytes() + (byte - w.FirstByte()) + 1;  // reading on may have moved the bytes
    }
  }
}

}  // namespace

std::string OneBlockStream(const unsigned char* data, uint64_t bit, uint64_t end, uint32_t crc,
                           int level) {
  std::string stream = "BZh";
  stream.push_back(static_cast<char>('0' + level));
  BitWriter bits;
  bits.Append(data, bit, end - bit, stream);
  bits.Put(kEndMarker, 48, stream);
  bits.Put(crc, 32, stream);
  bits.Flush(stream);
  return stream;
}

std::optional<std::string> DecodeBlockStream(const std::string& stream) {
  bz_stream bz{};
  if (BZ2_bzDecompressInit(&bz, 0, 0) != BZ_OK) return std::nullopt;
  std::string out(std::max<size_t>(stream.size() * 4, 1 << 16), '\0');
  bz.next_in = const_cast<char*>(stream.data());  // the library never writes through it
  bz.avail_in = static_cast<unsigned int>(stream.size());
  size_t produced = 0;
  int status = BZ_OK;
  while (true) {
    bz.next_out = out.data() + produced;
    bz.avail_out = static_cast<unsigned int>(std::min<size_t>(out.size() - produced, UINT_MAX));
    const unsigned int before = bz.avail_out;
    status = BZ2_bzDecompress(&bz);
    produced += before - bz.avail_out;
    if (status != BZ_OK) break;
    if (bz.avail_out == 0) {
      out.resize(out.size() * 2);
    } else if (bz.avail_in == 0) {
      break;  // ran out of input before the end mark
    }
  }
  const bool whole = status == BZ_STREAM_END && bz.avail_in == 0;
  BZ2_bzDecompressEnd(&bz);
  if (!whole) return std::nullopt;
  out.resize(produced);
  return out;
}

namespace {

struct BlockJob {
  std::shared_ptr<std::optional<std::string>> decoded;
  std::future<void> done;
  uint64_t number = 0;
  uint64_t bit = 0;
};

class Decoder {
 public:
  Decoder(Stream& stored, Stream& target, WorkerPool& pool, const std::function<void()>& pump)
      : window_(stored),
        target_(target),
        pool_(pool),
        pump_(pump),
        limit_(2 * static_cast<size_t>(pool.size()) + 1) {}
  ~Decoder() {
    // The jobs own what they work on; waiting keeps the pool's queue short.
    for (BlockJob& job : jobs_) {
      if (job.done.valid()) job.done.wait();
    }
  }

  BlockDecodeOutcome Run();

 private:
  // Decodes one stream from `bit` (its header); the bit after its end, or
  // nothing when the stream is not proven.
  std::optional<uint64_t> RunStream(uint64_t bit);
  void Submit(uint64_t bit, uint64_t end, int level);
  // Takes the oldest job in; false when it did not decode.
  bool TakeOldest();
  bool Fail(uint64_t number, uint64_t bit) {
    outcome_.failedBlock = number;
    outcome_.failedByte = bit / 8;
    return false;
  }

  Window window_;
  Stream& target_;
  WorkerPool& pool_;
  const std::function<void()>& pump_;
  const size_t limit_;  // blocks in flight
  std::deque<BlockJob> jobs_;
  uint64_t blocks_ = 0;  // blocks handed out, in every stream so far
  uint32_t combined_ = 0;
  BlockDecodeOutcome outcome_;
};

void Decoder::Submit(uint64_t bit, uint64_t end, int level) {
  while (jobs_.size() >= limit_) {
    if (!TakeOldest()) return;
  }
  const uint64_t from = bit - window_.FirstByte() * 8;
  auto stream = std::make_shared<std::string>(
      OneBlockStream(window_.Bytes(), from, from + (end - bit),
                     static_cast<uint32_t>(window_.Bits(bit + 48, 32)), level));
  BlockJob job;
  job.decoded = std::make_shared<std::optional<std::string>>();
  job.number = ++blocks_;
  job.bit = bit;
  job.done =
      pool_.Submit([stream, decoded = job.decoded] { *decoded = DecodeBlockStream(*stream); });
  jobs_.push_back(std::move(job));
}

bool Decoder::TakeOldest() {
  BlockJob& job = jobs_.front();
  while (job.done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
    if (pump_) pump_();
  }
  job.done.get();
  if (!job.decoded->has_value()) return Fail(job.number, job.bit);
  const std::string& bytes = **job.decoded;
  target_.WriteBuffer(bytes.data(), bytes.size());
  outcome_.result.bytesWritten += static_cast<int64_t>(bytes.size());
  jobs_.pop_front();
  if (pump_) pump_();
  return true;
}

std::optional<uint64_t> Decoder::RunStream(uint64_t bit) {
  if (!window_.Have(bit + kStreamHeaderBits + 48)) return std::nullopt;
  const uint64_t header = window_.Bits(bit, 32);
  const int level = static_cast<int>(header & 0xFF) - '0';
  if ((header >> 8) != 0x425A68 || level < 1 || level > 9) return std::nullopt;  // "BZh"
  combined_ = 0;
  uint64_t at = bit + kStreamHeaderBits;
  auto mark = FindMark(window_, at, level);
  if (!mark || mark->first != at) return std::nullopt;
  while (mark->second == Mark::kBlock) {
    const uint64_t start = mark->first;
    combined_ =
        (combined_ << 1 | combined_ >> 31) ^ static_cast<uint32_t>(window_.Bits(start + 48, 32));
    mark = FindMark(window_, start + kBlockHeadBits, level);
    if (!mark) {
      Fail(blocks_ + 1, start);  // the data ends inside the block
      return std::nullopt;
    }
    Submit(start, mark->first, level);
    if (outcome_.failedBlock != 0) return std::nullopt;
    window_.Drop(mark->first);
  }
  while (!jobs_.empty()) {
    if (!TakeOldest()) return std::nullopt;
  }
  const uint64_t end = mark->first;
  if (!window_.Have(end + kEndBits) || window_.Bits(end + 48, 32) != combined_) {
    Fail(blocks_ + 1, end);
    return std::nullopt;
  }
  return (end + kEndBits + 7) / 8 * 8;
}

BlockDecodeOutcome Decoder::Run() {
  uint64_t bit = 0;
  while (true) {
    const auto next = RunStream(bit);
    if (!next) {
      if (outcome_.failedBlock == 0) Fail(blocks_ + 1, bit);
      return outcome_;
    }
    bit = *next;
    // Only further whole streams may follow; anything else is left to the
    // one-block-after-another decoder to judge.
    if (!window_.Have(bit + 8)) break;
  }
  outcome_.proven = true;
  outcome_.result.complete = true;
  return outcome_;
}

}  // namespace

BlockDecodeOutcome DecodeBlocks(Stream& stored, Stream& target, WorkerPool& pool,
                                const std::function<void()>& pump) {
  Decoder decoder(stored, target, pool, pump);
  return decoder.Run();
}

DecompressResult DecompressCopy(Stream& stored, Stream& target, WorkerPool* pool,
                                const std::function<Stream&()>& restart,
                                const std::function<void()>& pump,
                                BlockDecodeOutcome* firstFailure) {
  if (pool != nullptr && restart) {
    const int64_t size = stored.Seek(0, SeekOrigin::kEnd);
    stored.Seek(0, SeekOrigin::kBegin);
    if (size >= kBlockDecodeMinimum) {
      const BlockDecodeOutcome outcome = DecodeBlocks(stored, target, *pool, pump);
      if (outcome.proven) return outcome.result;
      if (firstFailure != nullptr) *firstFailure = outcome;
      stored.Seek(0, SeekOrigin::kBegin);
      return DecompressFile(stored, restart(), pump);
    }
  }
  return DecompressFile(stored, target, pump);
}

}  // namespace varnoket
