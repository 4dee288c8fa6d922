// A byte stream with a position: files, memory, and the compression streams
// that wrap them. Failures throw StreamError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace varnoket {

class StreamError : public std::runtime_error {
 public:
  explicit StreamError(const std::string& what, int systemError = 0)
      : std::runtime_error(what), systemError_(systemError) {}
  // The system's error number behind the failure (errno), 0 when none: what
  // lets a caller tell "access refused" from "disk full".
  int systemError() const { return systemError_; }

 private:
  int systemError_ = 0;
};

enum class SeekOrigin { kBegin, kCurrent, kEnd };

class Stream {
 public:
  virtual ~Stream() = default;

  // Reads up to `count` bytes; fewer only at the end of the data.
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes `count` bytes and returns how many were taken.
  virtual size_t Write(const void* buffer, size_t count) = 0;
  // Moves the position and returns the new one.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, SeekOrigin::kCurrent); }
  // Reads exactly `count` bytes or throws.
  void ReadBuffer(void* buffer, size_t count);
  // Writes exactly `count` bytes or throws (a short write is a full disk).
  void WriteBuffer(const void* buffer, size_t count);
};

// An open file, as the file system's open calls hand it out: the program
// reads, writes, flushes and closes it without knowing where its bytes live
// (a file of this system, or the memory of a test's file system).
class FileStream : public Stream {
 public:
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  const std::string& path() const { return path_; }
  virtual int64_t Size() const = 0;
  // Flushes the file's data to the disk (fsync); throws on failure.
  virtual void Sync() = 0;
  // Closes now; throws when the close reports a write error.
  virtual void Close() = 0;
  // Asks the system to forget the file's cached pages, so that the next
  // reads come from the disk (pages not yet flushed stay). A hint only.
  virtual void DropCachedPages() = 0;

 protected:
  explicit FileStream(std::string path) : path_(std::move(path)) {}

 private:
  std::string path_;
};

// A file of this system, over an open file descriptor owned and closed by
// the stream. Tests derive from it to make a write, a flush or a close fail.
class PosixFileStream : public FileStream {
 public:
  // kCreateNew makes a file that did not exist, never through a link: a
  // name already taken fails with EEXIST instead of being emptied.
  // kWriteExisting opens a file that exists, as it is, never through a link.
  enum class Mode { kRead, kCreateTruncate, kCreateNew, kWriteExisting };
  // Throws StreamError with the system's reason when the file cannot be opened.
  PosixFileStream(const std::string& path, Mode mode);
  ~PosixFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

  int64_t Size() const override;
  void Sync() override;
  void Close() override;
  void DropCachedPages() override;
  // The descriptor, -1 once closed: for the file system's calls on the
  // open file (its state, its mode, its length).
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

// A growable in-memory stream, for tests and small texts.
class MemoryStream final : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::string data) : data_(std::move(data)) {}
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  const std::string& data() const { return data_; }

 private:
  std::string data_;
  size_t position_ = 0;
};

}  // namespace varnoket
