#include "restore/ProvenCopy.h"

#include <optional>

#include "engine/BZip2.h"
#include "engine/BlockDecoder.h"
#include "engine/Checksum.h"
#include "engine/FileRecord.h"

namespace varnoket {

namespace {

// Passes the decoded bytes on to the target while counting and summing
// them; a refusal of the target becomes a TargetWriteError.
class SummingTarget final : public Stream {
 public:
  explicit SummingTarget(Stream* target) : target_(target) {}
  size_t Read(void*, size_t) override { throw StreamError("Invalid stream operation"); }
  size_t Write(const void* buffer, size_t count) override {
    if (target_ != nullptr) {
      try {
        target_->WriteBuffer(buffer, count);
      } catch (const StreamError& e) {
        throw TargetWriteError(e.what(), e.systemError());
      }
    }
    sum_.Update(buffer, count);
    size_ += static_cast<int64_t>(count);
    return count;
  }
  int64_t Seek(int64_t, SeekOrigin) override { return size_; }
  int64_t size() const { return size_; }
  uint32_t checksum() const { return sum_.Value(); }

 private:
  Stream* target_;
  WeightedSum sum_;
  int64_t size_ = 0;
};

CopyProof Judge(FileSystem& fs, const std::string& storedPath, Stream* target,
                const RecordedContent& content, const std::function<void()>& pump,
                const DecodeBlocksWith& blocks) {
  CopyProof proof;
  proof.path = storedPath;
  std::optional<SummingTarget> summing(std::in_place, target);
  // A second pass after a block-wise one that proved nothing starts again
  // from nothing, in a fresh target.
  std::function<Stream&()> restart;
  if (target == nullptr || blocks.freshTarget) {
    restart = [&]() -> Stream& {
      return summing.emplace(target == nullptr ? nullptr : &blocks.freshTarget());
    };
  }
  BlockDecodeOutcome blockFailure;
  DecompressResult r;
  try {
    auto in = fs.OpenRead(storedPath);
    r = DecompressCopy(*in, *summing, blocks.pool, restart, pump, &blockFailure);
  } catch (const TargetWriteError&) {
    throw;
  } catch (const BZip2DecompressionError&) {
    proof.verdict = CopyVerdict::kDamaged;
    proof.damagedBlock = blockFailure.failedBlock;
    proof.damagedByte = blockFailure.failedByte;
    return proof;
  } catch (const StreamError& e) {
    proof.verdict = CopyVerdict::kUnreadable;
    proof.systemError = e.systemError();
    return proof;
  } catch (const std::exception&) {
    // The library's other refusals (out of memory, a stream it cannot
    // start) leave the copy unproven as well.
    proof.verdict = CopyVerdict::kDamaged;
    return proof;
  }
  proof.size = summing->size();
  proof.checksum = summing->checksum();
  if (!r.complete) {
    proof.verdict = CopyVerdict::kTruncated;
  } else if (RecordedSize(proof.size) != content.size || proof.checksum != content.checksum) {
    proof.verdict = CopyVerdict::kDifferent;
  } else {
    proof.verdict = CopyVerdict::kProven;
  }
  return proof;
}

}  // namespace

CopyProof DecodeAndProve(FileSystem& fs, const std::string& storedPath, Stream& target,
                         const RecordedContent& content, const std::function<void()>& pump,
                         const DecodeBlocksWith& blocks) {
  return Judge(fs, storedPath, &target, content, pump, blocks);
}

CopyProof ProveCopy(FileSystem& fs, const std::string& storedPath, const RecordedContent& content,
                    WorkerPool* blocks) {
  return Judge(fs, storedPath, nullptr, content, {}, DecodeBlocksWith{blocks, {}});
}

}  // namespace varnoket
