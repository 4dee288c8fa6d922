// A POSIX file descriptor owned for the length of a call, and the loop that
// writes a whole buffer to one. Shared by everything that talks to the
// system below the stream classes.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace varnoket {

// Keeps errno across clean-up calls, so callers see why the real work failed.
class ErrnoKeeper {
 public:
  ErrnoKeeper() : saved_(errno) {}
  ~ErrnoKeeper() { errno = saved_; }
  ErrnoKeeper(const ErrnoKeeper&) = delete;
  ErrnoKeeper& operator=(const ErrnoKeeper&) = delete;

 private:
  int saved_;
};

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) {
      ErrnoKeeper keep;
      ::close(fd_);
    }
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  // Closes now and reports the close's own result, which is where some file
  // systems tell of a full disk.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 || errno == EINTR;
  }

 private:
  int fd_;
};

// Writes all of `size` bytes; false (errno set, ENOSPC for a write that
// takes nothing) when the system refuses.
inline bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace varnoket
