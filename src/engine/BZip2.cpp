#include "engine/BZip2.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace varnoket {

namespace {

constexpr const char* kInvalidOperation = "Invalid stream operation";

// The library counts in unsigned int; larger requests go through in pieces.
constexpr size_t kMaxLibraryChunk = size_t{1} << 30;

// Largest piece CompressFile reads from its source at once.
constexpr size_t kCopyPieceSize = 61440;

std::string StatusText(int status) {
  return "error " + std::to_string(status);
}

int64_t Low32(uint64_t value) {
  return static_cast<int64_t>(static_cast<uint32_t>(value));
}

}  // namespace

BZip2Stream::BZip2Stream(Stream& stream)
    : stream_(stream),
      position_(stream.Position()),
      buffer_(std::make_unique<char[]>(kBZip2BufferSize)) {}

void BZip2Stream::Progress() {
  if (OnProgress) OnProgress(*this);
}

void BZip2Stream::RestorePosition() {
  if (stream_.Position() != position_) stream_.Seek(position_, SeekOrigin::kBegin);
}

// ---- compression ----

BZip2CompressionStream::BZip2CompressionStream(BlockSize100k blockSize, Stream& destination)
    : BZip2Stream(destination) {
  bz_.next_out = buffer_.get();
  bz_.avail_out = kBZip2BufferSize;
  // Verbosity 0 and work factor 0 (the library's default) give the same
  // bytes as the standard command-line compressor at this block size.
  const int status = BZ2_bzCompressInit(&bz_, static_cast<int>(blockSize), 0, 0);
  if (status < 0) throw BZip2CompressionError(StatusText(status));
  libraryActive_ = true;
}

BZip2CompressionStream::~BZip2CompressionStream() {
  if (!finished_) {
    try {
      Finish();
    } catch (...) {
      // A destructor cannot report; callers who care call Finish() first.
    }
  }
  EndLibrary();
}

void BZip2CompressionStream::EndLibrary() {
  if (libraryActive_) {
    BZ2_bzCompressEnd(&bz_);
    libraryActive_ = false;
  }
}

void BZip2CompressionStream::FlushFullBuffer() {
  stream_.WriteBuffer(buffer_.get(), kBZip2BufferSize);
  bz_.next_out = buffer_.get();
  bz_.avail_out = kBZip2BufferSize;
  position_ = stream_.Position();
}

size_t BZip2CompressionStream::Read(void*, size_t) {
  throw BZip2CompressionError(kInvalidOperation);
}

size_t BZip2CompressionStream::Write(const void* buffer, size_t count) {
  if (finished_) throw BZip2CompressionError(kInvalidOperation);
  RestorePosition();
  // The library takes non-const input pointers but never writes through them.
  auto input = static_cast<char*>(const_cast<void*>(buffer));
  size_t left = count;
  while (left > 0) {
    const size_t piece = std::min(left, kMaxLibraryChunk);
    bz_.next_in = input;
    bz_.avail_in = static_cast<unsigned int>(piece);
    while (bz_.avail_in > 0) {
      const int status = BZ2_bzCompress(&bz_, BZ_RUN);
      if (status < 0) throw BZip2CompressionError(StatusText(status));
      if (bz_.avail_out == 0) FlushFullBuffer();
      Progress();
    }
    input += piece;
    left -= piece;
  }
  return count;
}

void BZip2CompressionStream::Finish() {
  if (finished_) return;
  // Marked first: after a failure a second attempt (from the destructor)
  // would only write a broken tail after the broken one.
  finished_ = true;
  bz_.next_in = nullptr;
  bz_.avail_in = 0;
  RestorePosition();
  while (true) {
    const int status = BZ2_bzCompress(&bz_, BZ_FINISH);
    if (status < 0) throw BZip2CompressionError(StatusText(status));
    Progress();
    if (status == BZ_STREAM_END || bz_.avail_out != 0) break;
    FlushFullBuffer();
  }
  const size_t pending = kBZip2BufferSize - bz_.avail_out;
  if (pending > 0) {
    stream_.WriteBuffer(buffer_.get(), pending);
    bz_.next_out = buffer_.get();
    bz_.avail_out = kBZip2BufferSize;
    position_ = stream_.Position();
  }
  // The library's working memory (several megabytes at bs9) is not needed
  // any more; release it now rather than when the object goes.
  EndLibrary();
}

int64_t BZip2CompressionStream::Seek(int64_t offset, SeekOrigin origin) {
  if (offset != 0 || origin != SeekOrigin::kCurrent) throw BZip2CompressionError(kInvalidOperation);
  return static_cast<int64_t>(bz_.total_in_lo32);
}

// ---- decompression ----

BZip2DecompressionStream::BZip2DecompressionStream(Stream& source)
    : BZip2Stream(source), startPosition_(position_) {
  bz_.next_in = buffer_.get();
  bz_.avail_in = 0;
  StartLibrary();
}

BZip2DecompressionStream::~BZip2DecompressionStream() {
  if (libraryActive_) BZ2_bzDecompressEnd(&bz_);
}

void BZip2DecompressionStream::StartLibrary() {
  // Verbosity 0, small mode off.
  const int status = BZ2_bzDecompressInit(&bz_, 0, 0);
  if (status < 0) throw BZip2DecompressionError(StatusText(status));
  libraryActive_ = true;
}

void BZip2DecompressionStream::RestartLibrary() {
  // Input already read belongs to the next stream and must survive the restart.
  char* nextIn = bz_.next_in;
  const unsigned int availIn = bz_.avail_in;
  if (libraryActive_) {
    BZ2_bzDecompressEnd(&bz_);
    libraryActive_ = false;
  }
  StartLibrary();
  bz_.next_in = nextIn;
  bz_.avail_in = availIn;
}

size_t BZip2DecompressionStream::Read(void* buffer, size_t count) {
  if (count == 0 || trailingGarbage_) return 0;
  RestorePosition();
  auto output = static_cast<char*>(buffer);
  size_t produced = 0;
  while (produced < count) {
    const size_t room = std::min(count - produced, kMaxLibraryChunk);
    bz_.next_out = output + produced;
    bz_.avail_out = static_cast<unsigned int>(room);
    if (bz_.avail_in == 0) {
      const size_t got = stream_.Read(buffer_.get(), kBZip2BufferSize);
      if (got == 0) break;  // the compressed data is used up
      bz_.next_in = buffer_.get();
      bz_.avail_in = static_cast<unsigned int>(got);
      position_ = stream_.Position();
    }
    if (betweenStreams_) {
      // More data after a stream's end: the next of concatenated streams.
      RestartLibrary();
      betweenStreams_ = false;
    }
    const int status = BZ2_bzDecompress(&bz_);
    produced += room - bz_.avail_out;
    if (status < 0) {
      if (status == BZ_DATA_ERROR_MAGIC && streamsEnded_ > 0) {
        // Standard decoders ignore what follows the last stream when it
        // is not a stream; so do we, but the data does not count as whole.
        trailingGarbage_ = true;
        break;
      }
      totalOut_ += produced;
      throw BZip2DecompressionError(StatusText(status));
    }
    Progress();
    if (status == BZ_STREAM_END) {
      ++streamsEnded_;
      betweenStreams_ = true;
    }
  }
  totalOut_ += produced;
  return produced;
}

size_t BZip2DecompressionStream::Write(const void*, size_t) {
  throw BZip2DecompressionError(kInvalidOperation);
}

void BZip2DecompressionStream::Skip(uint64_t count) {
  char scrap[4096];
  while (count > 0) {
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(count, sizeof scrap));
    const size_t got = Read(scrap, piece);
    if (got == 0) break;
    count -= got;
  }
}

int64_t BZip2DecompressionStream::Seek(int64_t offset, SeekOrigin origin) {
  if (origin == SeekOrigin::kBegin && offset == 0) {
    bz_.next_in = buffer_.get();
    bz_.avail_in = 0;
    RestartLibrary();
    // The compressed data began where the source stood when this object was
    // made, which is 0 for a stored file opened for the restore.
    stream_.Seek(startPosition_, SeekOrigin::kBegin);
    position_ = startPosition_;
    totalOut_ = 0;
    streamsEnded_ = 0;
    betweenStreams_ = false;
    trailingGarbage_ = false;
    return 0;
  }
  if (origin == SeekOrigin::kCurrent && offset >= 0) {
    Skip(static_cast<uint64_t>(offset));
  } else if (origin == SeekOrigin::kBegin && offset > 0 &&
             static_cast<uint64_t>(offset) >= totalOut_) {
    Skip(static_cast<uint64_t>(offset) - totalOut_);
  } else {
    throw BZip2DecompressionError(kInvalidOperation);
  }
  return Low32(totalOut_);
}

// ---- whole files ----

void CompressFile(Stream& source, Stream& target, const std::function<void()>& pump) {
  BZip2CompressionStream compressor(BlockSize100k::k9, target);
  if (pump) compressor.OnProgress = [&pump](BZip2Stream&) { pump(); };
  int64_t remaining = source.Seek(0, SeekOrigin::kEnd);
  source.Seek(0, SeekOrigin::kBegin);
  std::vector<char> piece(kCopyPieceSize);
  while (remaining > 0) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(remaining, kCopyPieceSize));
    source.ReadBuffer(piece.data(), n);
    compressor.Write(piece.data(), n);
    remaining -= static_cast<int64_t>(n);
  }
  compressor.Finish();
}

DecompressResult DecompressFile(Stream& stored, Stream& target, const std::function<void()>& pump) {
  BZip2DecompressionStream decompressor(stored);
  std::vector<char> piece(kBZip2BufferSize);
  DecompressResult result;
  while (true) {
    if (pump) pump();
    const size_t n = decompressor.Read(piece.data(), piece.size());
    if (n == 0) break;
    target.WriteBuffer(piece.data(), n);
    result.bytesWritten += static_cast<int64_t>(n);
  }
  result.complete = decompressor.StreamEnded();
  return result;
}

}  // namespace varnoket
