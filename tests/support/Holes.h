// Whether a folder's file system keeps holes (runs of zeros that take no
// room): a test of sparse files skips where it does not (some network
// shares, some overlays), since there every zero is stored.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace varnoket::test {

inline bool HolesKept(const std::string& folder) {
  const std::string probe = folder + "/.holes-probe";
  const int fd = ::open(probe.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  constexpr off_t kSize = 8 << 20;
  struct stat st {};
  const bool kept =
      ::ftruncate(fd, kSize) == 0 && ::fstat(fd, &st) == 0 && st.st_blocks * 512 < kSize;
  ::close(fd);
  ::unlink(probe.c_str());
  return kept;
}

// The bytes a file takes on its disk.
inline long long AllocatedBytes(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<long long>(st.st_blocks) * 512;
}

}  // namespace varnoket::test
