#include "platform/FsStatus.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace varnoket {

FsStatus FsStatus::Failed(FsOp op, std::string path, int systemError) {
  FsStatus status;
  status.op_ = op;
  status.path_ = std::move(path);
  status.error_ = systemError != 0 ? systemError : EIO;
  return status;
}

FsStatus FsStatus::FromErrno(bool done, FsOp op, const std::string& path) {
  return done ? FsStatus() : Failed(op, path, errno);
}

bool FsStatus::NotFound() const {
  return error_ == ENOENT || error_ == ENOTDIR;
}

std::string FsStatus::Reason() const {
  return ok() ? std::string() : std::string(std::strerror(error_));
}

}  // namespace varnoket
