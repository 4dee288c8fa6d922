// Where a restore's decoded bytes reach the new file: a run of zero bytes
// that fills whole blocks of the file is passed over instead of written, so
// that it becomes a hole, as it most likely was in the sparse file that was
// backed up (a disk image, a database, a virtual machine's disk), and the
// restored file takes no more room than its source did. The file's size is
// set at the end, for a file that ends in zeros. What the file reads back
// is the same bytes either way: a new file reads as zeros wherever nothing
// was written. Every byte that is written goes through the file's stream,
// and the size through the file system, so a fault of either is seen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FileSystem.h"
#include "platform/Stream.h"

namespace varnoket {

class SparseTarget final : public Stream {
 public:
  // The block a run of zeros must fill to be passed over: the smallest
  // block of the usual file systems. Where blocks are larger, a run that
  // covers only part of one is written out as zeros by the file system.
  static constexpr size_t kBlockSize = 4096;

  // `file` must be new and empty: what is passed over is never written.
  SparseTarget(FileSystem& fs, FileStream& file) : fs_(fs), file_(file) {}

  size_t Read(void* buffer, size_t count) override;
  // Takes the bytes that follow those taken so far; throws StreamError when
  // the file refuses them.
  size_t Write(const void* buffer, size_t count) override;
  // Only tells the position (the bytes taken); a target is written in order.
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

  // Writes the bytes held back and gives the file the size of all the bytes
  // taken. Throws StreamError (with the system's reason) when it cannot.
  void Finish();

 private:
  // Puts `count` bytes at the end of what was taken: whole blocks, or the
  // file's last part.
  void Put(const char* bytes, size_t count);

  FileSystem& fs_;
  FileStream& file_;
  std::string held_;     // the start of a block that is not whole yet
  int64_t placed_ = 0;   // bytes written or passed over
  int64_t fileEnd_ = 0;  // the end of what was written, where the file stands
};

}  // namespace varnoket
