#include "update/ExecutableTest.h"

#include <array>
#include <memory>

#include "platform/FileSystem.h"

namespace varnoket {

bool IsExecutableProgram(const std::string& path) {
  // e_ident (16 bytes) then e_type (2 bytes, in the file's byte order).
  std::array<unsigned char, 18> header{};
  size_t got = 0;
  try {
    const std::unique_ptr<FileStream> in = DefaultFileSystem().OpenRead(path);
    while (got < header.size()) {
      const size_t n = in->Read(header.data() + got, header.size() - got);
      if (n == 0) break;
      got += n;
    }
  } catch (const StreamError&) {
    return false;
  }
  if (got != header.size()) return false;
  if (header[0] != 0x7f || header[1] != 'E' || header[2] != 'L' || header[3] != 'F') return false;
  const unsigned char elfClass = header[4];   // 1: 32-bit, 2: 64-bit
  const unsigned char byteOrder = header[5];  // 1: little endian, 2: big endian
  if ((elfClass != 1 && elfClass != 2) || (byteOrder != 1 && byteOrder != 2)) return false;
  const unsigned type =
      byteOrder == 1 ? header[16] | (header[17] << 8) : header[17] | (header[16] << 8);
  constexpr unsigned kExecutable = 2;
  constexpr unsigned kSharedObject = 3;  // what a position-independent program is
  return type == kExecutable || type == kSharedObject;
}

}  // namespace varnoket
