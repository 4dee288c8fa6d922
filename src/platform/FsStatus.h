// The outcome of a file system operation (a change to the disk, a whole
// read, a listing, a look at an entry, a lock): done, or
// failed with the operation, the path and the system's reason, so that a
// message can say why ("Permission denied", "No space left on device")
// instead of guessing, and a caller never reads errno after some other call
// has replaced it.
#pragma once

#include <cstdint>
#include <string>

namespace varnoket {

enum class FsOp : uint8_t {
  kCreateFolder,
  kRemoveFolder,
  kDelete,
  kRename,
  kCopy,
  kLink,
  kWrite,
  kAppend,
  kSetAttributes,
  kSetDate,
  kSync,
  kSetSize,
  kRead,
  kList,
  kLock,
  kStat,
};

class FsStatus {
 public:
  // Done.
  FsStatus() = default;
  // Failed; a reason of 0 (the system gave none) counts as an input/output
  // error, so a failure always has one.
  static FsStatus Failed(FsOp op, std::string path, int systemError);
  // Done when `done`, else failed with the errno the system call just left.
  static FsStatus FromErrno(bool done, FsOp op, const std::string& path);

  bool ok() const { return error_ == 0; }
  explicit operator bool() const { return ok(); }
  FsOp op() const { return op_; }
  const std::string& path() const { return path_; }
  // The system's reason (an errno value); 0 when done.
  int systemError() const { return error_; }
  // The reason in the system's words; "" when done.
  std::string Reason() const;
  // Failed because the path names nothing (or goes through a file).
  bool NotFound() const;

 private:
  FsOp op_ = FsOp::kWrite;
  std::string path_;
  int error_ = 0;
};

}  // namespace varnoket
