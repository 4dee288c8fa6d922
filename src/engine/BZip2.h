// The codec of stored files: each backed-up file is kept as one complete bzip2
// stream (block size 900 k), byte for byte what the bzip2 library makes of it,
// so any standard bzip2 decoder restores it. The two stream classes drive the
// library over any Stream through one 65536-byte buffer each; CompressFile and
// DecompressFile copy a whole file through them for the backup and the restore.
#pragma once

#include <bzlib.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

#include "platform/Stream.h"

namespace varnoket {

enum class BlockSize100k { k1 = 1, k2, k3, k4, k5, k6, k7, k8, k9 };

class BZip2Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class BZip2CompressionError : public BZip2Error {
 public:
  using BZip2Error::BZip2Error;
};

class BZip2DecompressionError : public BZip2Error {
 public:
  using BZip2Error::BZip2Error;
};

// Size of the one buffer between the library and the wrapped stream.
inline constexpr size_t kBZip2BufferSize = 65536;

// What the two codec streams share: the wrapped stream (not owned; it must
// outlive this object), where this object last left it, the library's stream
// record and the buffer. When something else moves the wrapped stream between
// two calls, the next call puts it back where this object left it.
class BZip2Stream : public Stream {
 public:
  ~BZip2Stream() override = default;
  BZip2Stream(const BZip2Stream&) = delete;
  BZip2Stream& operator=(const BZip2Stream&) = delete;

  // Fired after every library step; the host pumps its message loop here so
  // the windows stay alive during a long file.
  std::function<void(BZip2Stream&)> OnProgress;

 protected:
  explicit BZip2Stream(Stream& stream);

  void Progress();
  // Moves the wrapped stream back to where this object left it, if needed.
  void RestorePosition();

  Stream& stream_;
  int64_t position_;
  bz_stream bz_{};  // the library keeps a pointer to it: never moved
  std::unique_ptr<char[]> buffer_;
};

// Write-only: compresses what is written into the wrapped stream.
class BZip2CompressionStream : public BZip2Stream {
 public:
  // Throws BZip2CompressionError("error %d") when the library cannot start.
  BZip2CompressionStream(BlockSize100k blockSize, Stream& destination);
  // Finishes the stream when Finish() was not called, swallowing any error,
  // and releases the library's memory.
  ~BZip2CompressionStream() override;

  // Writes the end of the stream and everything still buffered; throws on
  // failure (a full disk: StreamError from the destination). Callers that
  // must know the stored file is whole call it themselves; later calls do
  // nothing, and writing after it throws.
  void Finish();

  // Always throws BZip2CompressionError("Invalid stream operation").
  size_t Read(void* buffer, size_t count) override;
  // Compresses `count` bytes and returns `count`; throws
  // BZip2CompressionError("error %d") on a library failure.
  size_t Write(const void* buffer, size_t count) override;
  // Only (0, Current): the number of bytes taken so far (low 32 bits).
  // Anything else throws BZip2CompressionError("Invalid stream operation").
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

 private:
  void FlushFullBuffer();
  void EndLibrary();

  bool finished_ = false;
  bool libraryActive_ = false;
};

// Read-only: decompresses the wrapped stream. Concatenated bzip2 streams are
// decoded one after the other, as standard decoders do.
class BZip2DecompressionStream : public BZip2Stream {
 public:
  // Throws BZip2DecompressionError("error %d") when the library cannot start.
  explicit BZip2DecompressionStream(Stream& source);
  ~BZip2DecompressionStream() override;

  // Returns `count` bytes, or fewer only when the compressed data is used up
  // (its end, a truncated file, or bytes after the last stream that are not
  // a bzip2 stream). Damaged data throws BZip2DecompressionError("error %d")
  // with the library's status: -4 for damaged data, -5 when the data does not
  // begin as a bzip2 stream.
  size_t Read(void* buffer, size_t count) override;
  // Always throws BZip2DecompressionError("Invalid stream operation").
  size_t Write(const void* buffer, size_t count) override;
  // (0, Begin) starts decoding again from where the compressed data began;
  // a forward move (offset >= 0 from Current, or an absolute offset at or
  // beyond the current output position) reads and drops the bytes between.
  // Returns the bytes produced so far (low 32 bits). Anything else throws
  // BZip2DecompressionError("Invalid stream operation").
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

  // True once the compressed data ended properly: the end-of-stream mark of
  // the last stream was reached and nothing but further complete bzip2
  // streams followed.
  bool StreamEnded() const { return betweenStreams_ && !trailingGarbage_; }

 private:
  void StartLibrary();
  void RestartLibrary();
  void Skip(uint64_t count);

  int64_t startPosition_;
  uint64_t totalOut_ = 0;
  int streamsEnded_ = 0;
  bool betweenStreams_ = false;   // the last stream's end mark was reached
  bool trailingGarbage_ = false;  // bytes after a stream's end that are not a stream
  bool libraryActive_ = false;
};

struct DecompressResult {
  int64_t bytesWritten = 0;
  bool complete = false;  // the stored data ended properly (not truncated)
};

// Compresses the whole of `source` (its size when the copy starts, read from
// position 0 in pieces of at most 61440 bytes; a source that delivers fewer
// bytes throws) into one bs9 bzip2 stream on `target`, and finishes it.
// Exceptions reach the caller. `pump` (may be empty) runs after each library
// step.
void CompressFile(Stream& source, Stream& target, const std::function<void()>& pump = {});

// Decompresses `stored` into `target`, running `pump` before each piece of at
// most 65536 bytes; a short write throws. A truncated stored file is not an
// error: the result says complete=false. Damaged data or data that is not
// bzip2 throws BZip2DecompressionError("error %d") (-4, -5).
DecompressResult DecompressFile(Stream& stored, Stream& target,
                                const std::function<void()>& pump = {});

}  // namespace varnoket
