// Whether a stored copy gives exactly what a day's record says: the copy is
// decoded whole while its bytes are counted and summed as the backup summed
// the source, and only a copy that ends properly with the recorded size and
// checksum is proven. A restore writes nothing else; a check of the store
// reports anything else. An older copy under the same stored name (the
// newer one deleted or lost with its day folder) decodes cleanly but does
// not give the recorded content, and is refused like a damaged one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "platform/Stream.h"
#include "platform/WorkerPool.h"
#include "restore/RecordedContent.h"

namespace varnoket {

enum class CopyVerdict {
  kProven,      // the recorded content, whole
  kUnreadable,  // the copy cannot be opened or read (systemError says why)
  kDamaged,     // the bytes are no bzip2 stream, or a damaged one
  kTruncated,   // the stream stops before its end
  kDifferent,   // a whole stream, but not the recorded content
};

struct CopyProof {
  CopyVerdict verdict = CopyVerdict::kUnreadable;
  std::string path;       // the copy looked at
  int systemError = 0;    // with kUnreadable
  int64_t size = 0;       // bytes decoded
  uint32_t checksum = 0;  // their checksum
  // With kDamaged, when the copy's blocks were decoded on several cores:
  // the first block (from 1) that would not decode, and where it begins in
  // the copy (0 when not known).
  uint64_t damagedBlock = 0;
  uint64_t damagedByte = 0;
};

// How a large copy's blocks may be decoded on several cores: on `pool`
// (none: one after another), and, when the decoded bytes go to a target,
// with a fresh target to start again in when that pass proves nothing.
struct DecodeBlocksWith {
  WorkerPool* pool = nullptr;
  std::function<Stream&()> freshTarget;
};

// Thrown when writing the decoded bytes to the caller's target failed: the
// fault is the destination's, not the copy's. Carries the system's error.
class TargetWriteError : public StreamError {
 public:
  using StreamError::StreamError;
};

// Decodes the copy at `storedPath` into `target` (running `pump` between
// pieces) and judges it against `content`. Throws TargetWriteError when
// `target` refuses the bytes; every fault of the copy itself is a verdict.
CopyProof DecodeAndProve(FileSystem& fs, const std::string& storedPath, Stream& target,
                         const RecordedContent& content, const std::function<void()>& pump = {},
                         const DecodeBlocksWith& blocks = {});

// The same, keeping no byte: a check of the store.
CopyProof ProveCopy(FileSystem& fs, const std::string& storedPath, const RecordedContent& content,
                    WorkerPool* blocks = nullptr);

}  // namespace varnoket
