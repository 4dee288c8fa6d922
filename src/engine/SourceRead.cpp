#include "engine/SourceRead.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/LeftOut.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

namespace {

enum class Read { kWhole, kUnreadable, kMoved };

// One read of the whole file; `error` gets the system's reason of a failure.
Read ReadOnce(FileSystem& fs, ScannedFile& file, bool withHash, std::vector<char>& buffer,
              DigestBuilder& digest, const std::function<void()>& afterBlock, int& error) {
  std::unique_ptr<FileStream> stream;
  try {
    stream = fs.OpenRead(file.path);
  } catch (const StreamError& e) {
    error = e.systemError();
    return Read::kUnreadable;
  }
  const auto opened = stream ? fs.StatStream(*stream) : std::nullopt;
  if (!opened || !opened->isRegularFile) return Read::kUnreadable;
  file.attributes = opened->attributes;
  file.fileDate = opened->dosDate;
  const auto size = static_cast<int64_t>(opened->size);
  // A file whose size moved since the walk may now match any other size.
  digest.Reset(withHash || size != file.digest.size);
  int64_t remaining = size;
  try {
    while (remaining > 0) {
      const size_t want = static_cast<size_t>(std::min<int64_t>(remaining, buffer.size()));
      const size_t got = stream->Read(buffer.data(), want);
      if (got == 0) break;  // the file shrank while it was read
      digest.Update(buffer.data(), got);
      remaining -= static_cast<int64_t>(got);
      afterBlock();
    }
  } catch (const StreamError& e) {
    error = e.systemError();
    return Read::kUnreadable;
  }
  file.digest = digest.Finish();
  const auto after = fs.StatStream(*stream);
  return after && SameStamp(*opened, *after) && remaining == 0 ? Read::kWhole : Read::kMoved;
}

}  // namespace

bool SameStamp(const DirEntry& a, const DirEntry& b) {
  return a.size == b.size && a.modifiedNs == b.modifiedNs && a.changedNs == b.changedNs;
}

SourceReadOutcome ReadSourceBytes(FileSystem& fs, ScannedFile& file, bool withHash,
                                  std::vector<char>& buffer, DigestBuilder& digest,
                                  const std::function<void()>& afterBlock) {
  for (int attempt = 1;; ++attempt) {
    int error = 0;
    switch (ReadOnce(fs, file, withHash, buffer, digest, afterBlock, error)) {
      case Read::kWhole:
        file.readable = true;
        return {true, 0};
      case Read::kUnreadable:
        file.readable = false;
        return {false, error};
      case Read::kMoved:
        if (attempt < kReadAttempts) continue;
        // Its digest then matches no stored copy: the file counts as
        // changed, and the copy step reads it again and judges that read.
        file.readable = true;
        return {true, 0};
    }
  }
}

void ReportUnreadable(BackupContext& ctx, const ScannedFile& file, int systemError) {
  ctx.Log(UnreadableFileLine(ShownText(file.path), systemError));
  ctx.leftOut.Add(LeftOutCause::kUnreadableFile);
}

bool ReadSourceFile(BackupContext& ctx, ScannedFile& file, bool withHash, std::vector<char>& buffer,
                    DigestBuilder& digest) {
  const SourceReadOutcome outcome =
      ReadSourceBytes(ctx.fs, file, withHash, buffer, digest, [&ctx] { ctx.Pump(); });
  if (!outcome.readable) ReportUnreadable(ctx, file, outcome.systemError);
  return outcome.readable;
}

}  // namespace varnoket
