#include "engine/CopyCheck.h"

#include <optional>

#include "engine/BZip2.h"
#include "engine/BZip2Bits.h"
#include "engine/BlockDecoder.h"
#include "engine/ContentDigest.h"

namespace varnoket {

namespace {

// Takes the decoded bytes into a digest and drops them.
class DigestSink final : public Stream {
 public:
  size_t Read(void*, size_t) override { throw StreamError("Invalid stream operation"); }
  size_t Write(const void* buffer, size_t count) override {
    digest_.Update(buffer, count);
    return count;
  }
  int64_t Seek(int64_t, SeekOrigin) override { throw StreamError("Invalid stream operation"); }
  ContentDigest Finish() { return digest_.Finish(); }

 private:
  DigestBuilder digest_{false};
};

// Whether content of `size` bytes with this checksum is the record's, as
// the record's fields would be written for it.
CopyCheckResult CompareWithRecord(int64_t size, uint32_t checksum, const FileRecord& record) {
  if (RecordedSize(size) != record.size || checksum != record.checksum) {
    return CopyCheckResult::kDifferent;
  }
  return CopyCheckResult::kSame;
}

}  // namespace

CopyCheckResult CheckCopy(FileSystem& fs, const std::string& copy, const FileRecord& record,
                          WorkerPool* blocks) {
  std::unique_ptr<FileStream> in;
  try {
    in = fs.OpenRead(copy);
  } catch (const StreamError&) {
    return CopyCheckResult::kUnreadable;
  }
  if (!in) return CopyCheckResult::kUnreadable;
  in->DropCachedPages();
  // A second pass, when the block-wise one could not prove the copy, starts
  // from an empty digest.
  std::optional<DigestSink> sink(std::in_place);
  auto restart = [&sink]() -> Stream& { return sink.emplace(); };
  DecompressResult decoded;
  try {
    decoded = DecompressCopy(*in, *sink, blocks, restart);
  } catch (const BZip2Error&) {
    return CopyCheckResult::kDamaged;
  } catch (const StreamError&) {
    return CopyCheckResult::kUnreadable;
  }
  if (!decoded.complete) return CopyCheckResult::kDamaged;
  const ContentDigest got = sink->Finish();
  return CompareWithRecord(got.size, got.checksum, record);
}

CopyCheckResult CheckCopyBlocks(FileSystem& fs, const std::string& copy, const FileRecord& record,
                                const CheckedPrefix& prefix,
                                const std::vector<PendingBlockCheck>& blocks) {
  uint64_t bit = prefix.bits;  // where the next block must begin
  uint64_t size = prefix.sourceBytes;
  uint32_t sum = prefix.sum;
  uint32_t combined = prefix.combinedCrc;
  CopyCheckResult verdict = CopyCheckResult::kSame;
  const int lead = static_cast<int>(bit % 8);
  if (lead != 0 && !CheckBitsOnDisk(fs, copy, bit - lead, lead, prefix.lead)) {
    verdict = CopyCheckResult::kDamaged;
  }
  for (const PendingBlockCheck& check : blocks) {
    check.done.wait();  // every job is waited for: none may outlive its copy
    const WrittenBlock& block = check.block;
    if (verdict != CopyCheckResult::kSame) continue;
    if (!check.result->readable) verdict = CopyCheckResult::kUnreadable;
    // The blocks follow one another in the copy and in the source.
    if (!check.result->sound || block.firstBit != bit || block.sourceOffset != size) {
      if (verdict == CopyCheckResult::kSame) verdict = CopyCheckResult::kDamaged;
      continue;
    }
    bit = block.endBit;
    size += block.sourceBytes;
    sum += check.result->sum;
    combined = CombineBlockCrc(combined, block.crc);
  }
  if (verdict != CopyCheckResult::kSame) return verdict;
  if (blocks.empty() || !CheckStreamFrame(fs, copy, bit, combined)) {
    return CopyCheckResult::kDamaged;
  }
  return CompareWithRecord(static_cast<int64_t>(size), sum, record);
}

}  // namespace varnoket
