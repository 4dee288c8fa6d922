// The real file system with switchable faults, for tests of what happens when
// a write, a folder creation or a read fails (a full disk, a read-only
// medium) whoever runs the tests, root included.
#pragma once

#include <cerrno>
#include <string>

#include "platform/FileSystem.h"

namespace varnoket::test {

class FaultyFileSystem : public PosixFileSystem {
 public:
  // errno value of each failure; 0 lets the call through.
  int failWrites = 0;             // WriteFileAtomic
  int failCreateDirectories = 0;  // CreateDirectories
  int failReads = 0;              // ReadFile
  int writeCount = 0;             // WriteFileAtomic calls that reached the disk

  bool WriteFileAtomic(const std::string& path, const std::string& contents) override {
    if (failWrites != 0) {
      errno = failWrites;
      return false;
    }
    ++writeCount;
    return PosixFileSystem::WriteFileAtomic(path, contents);
  }
  bool CreateDirectories(const std::string& path) override {
    if (failCreateDirectories != 0) {
      errno = failCreateDirectories;
      return false;
    }
    return PosixFileSystem::CreateDirectories(path);
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    if (failReads != 0) {
      errno = failReads;
      return std::nullopt;
    }
    return PosixFileSystem::ReadFile(path);
  }
};

}  // namespace varnoket::test
