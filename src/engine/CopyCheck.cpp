#include "engine/CopyCheck.h"

#include <optional>

#include "engine/BZip2.h"
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
  // The record's fields as this content would write them.
  const auto expected = ParseFileRecord(FormatFileRecord(got.size, got.checksum, "-", "/", 0, 0));
  if (!expected || expected->size != record.size || expected->checksum != record.checksum) {
    return CopyCheckResult::kDifferent;
  }
  return CopyCheckResult::kSame;
}

}  // namespace varnoket
