#include "engine/CopyCheck.h"

#include "engine/BZip2.h"
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

CopyCheckResult CheckCopy(FileSystem& fs, const std::string& copy, const FileRecord& record) {
  std::unique_ptr<FileStream> in;
  try {
    in = fs.OpenRead(copy);
  } catch (const StreamError&) {
    return CopyCheckResult::kUnreadable;
  }
  if (!in) return CopyCheckResult::kUnreadable;
  in->DropCachedPages();
  DigestSink sink;
  DecompressResult decoded;
  try {
    decoded = DecompressFile(*in, sink);
  } catch (const BZip2Error&) {
    return CopyCheckResult::kDamaged;
  } catch (const StreamError&) {
    return CopyCheckResult::kUnreadable;
  }
  if (!decoded.complete) return CopyCheckResult::kDamaged;
  const ContentDigest got = sink.Finish();
  // The record's fields as this content would write them.
  const auto expected = ParseFileRecord(FormatFileRecord(got.size, got.checksum, "-", "/", 0, 0));
  if (!expected || expected->size != record.size || expected->checksum != record.checksum) {
    return CopyCheckResult::kDifferent;
  }
  return CopyCheckResult::kSame;
}

}  // namespace varnoket
