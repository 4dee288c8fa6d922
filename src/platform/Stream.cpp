#include "platform/Stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {
namespace {

std::string SystemReason(int error) {
  return std::strerror(error);
}

// `pattern` holds the path's hole and the system reason's, in that order.
[[noreturn]] void ThrowSystem(const char* pattern, const std::string& path, int error) {
  throw StreamError(FillText(pattern, {path, SystemReason(error)}), error);
}

}  // namespace

void Stream::ReadBuffer(void* buffer, size_t count) {
  if (Read(buffer, count) != count)
    throw StreamError(VK_TR_NOOP("Messages", "Erreur de lecture du flux"));
}

void Stream::WriteBuffer(const void* buffer, size_t count) {
  if (Write(buffer, count) != count)
    throw StreamError(VK_TR_NOOP("Messages", "Erreur d'écriture du flux"));
}

PosixFileStream::PosixFileStream(const std::string& path, Mode mode) : FileStream(path) {
  if (mode == Mode::kRead) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
      ThrowSystem(VK_TR_NOOP("Messages", "Impossible d'ouvrir le fichier %s : %s"), path, errno);
  } else {
    // Read and write, so a caller may read back what it has just written.
    // Private until the caller widens it: what is written may be a copy of
    // someone's private file.
    const int create = mode == Mode::kCreateNew       ? O_CREAT | O_EXCL | O_NOFOLLOW
                       : mode == Mode::kWriteExisting ? O_NOFOLLOW
                                                      : O_CREAT | O_TRUNC;
    fd_ = ::open(path.c_str(), O_RDWR | create | O_CLOEXEC, 0600);
    if (fd_ < 0 && mode == Mode::kWriteExisting)
      ThrowSystem(VK_TR_NOOP("Messages", "Impossible d'ouvrir le fichier %s : %s"), path, errno);
    if (fd_ < 0)
      ThrowSystem(VK_TR_NOOP("Messages", "Impossible de créer le fichier %s : %s"), path, errno);
  }
}

PosixFileStream::~PosixFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

size_t PosixFileStream::Read(void* buffer, size_t count) {
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd_, out + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowSystem(VK_TR_NOOP("Messages", "Erreur de lecture du fichier %s : %s"), path(), errno);
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t PosixFileStream::Write(const void* buffer, size_t count) {
  const auto* in = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, in + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowSystem(VK_TR_NOOP("Messages", "Erreur d'écriture dans le fichier %s : %s"), path(),
                  errno);
    }
    if (n == 0)
      ThrowSystem(VK_TR_NOOP("Messages", "Erreur d'écriture dans le fichier %s : %s"), path(),
                  ENOSPC);
    done += static_cast<size_t>(n);
  }
  return done;
}

int64_t PosixFileStream::Seek(int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::kBegin     ? SEEK_SET
                     : origin == SeekOrigin::kCurrent ? SEEK_CUR
                                                      : SEEK_END;
  const off_t pos = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (pos < 0)
    ThrowSystem(VK_TR_NOOP("Messages", "Erreur de positionnement dans le fichier %s : %s"), path(),
                errno);
  return static_cast<int64_t>(pos);
}

int64_t PosixFileStream::Size() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0)
    ThrowSystem(VK_TR_NOOP("Messages", "Impossible de lire la taille du fichier %s : %s"), path(),
                errno);
  return static_cast<int64_t>(st.st_size);
}

void PosixFileStream::Sync() {
  if (::fsync(fd_) != 0)
    ThrowSystem(VK_TR_NOOP("Messages", "Erreur d'écriture sur le disque du fichier %s : %s"),
                path(), errno);
}

void PosixFileStream::Close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  // After a failed close the descriptor is gone on Linux; EINTR is not a
  // lost write there.
  if (::close(fd) != 0 && errno != EINTR) {
    ThrowSystem(VK_TR_NOOP("Messages", "Erreur à la fermeture du fichier %s : %s"), path(), errno);
  }
}

size_t MemoryStream::Read(void* buffer, size_t count) {
  if (position_ >= data_.size()) return 0;
  const size_t n = std::min(count, data_.size() - position_);
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

size_t MemoryStream::Write(const void* buffer, size_t count) {
  if (position_ > data_.size()) data_.resize(position_, '\0');
  const size_t overlap = std::min(count, data_.size() - position_);
  const auto* in = static_cast<const char*>(buffer);
  data_.replace(position_, overlap, in, count);
  position_ += count;
  return count;
}

int64_t MemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = 0;
  if (origin == SeekOrigin::kCurrent) base = static_cast<int64_t>(position_);
  if (origin == SeekOrigin::kEnd) base = static_cast<int64_t>(data_.size());
  const int64_t target = base + offset;
  if (target < 0)
    throw StreamError(VK_TR_NOOP("Messages", "Erreur de positionnement dans le flux"));
  position_ = static_cast<size_t>(target);
  return target;
}

void PosixFileStream::DropCachedPages() {
  if (fd_ >= 0) (void)::posix_fadvise(fd_, 0, 0, POSIX_FADV_DONTNEED);
}

}  // namespace varnoket
