// The real file system with every write watched, for the fuzz targets that
// drive a restore: each call that would create, change or remove something
// must name a place inside the target's scratch folder once links are
// resolved, or the target fails. The store it restores from is made up: any
// stored copy asked for exists and holds the empty bzip2 stream, so every
// record of an empty file reaches the disk.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "platform/FileSystem.h"
#include "platform/PathContainment.h"

namespace varnoket::fuzz {

class WatchedFileSystem : public PosixFileSystem {
 public:
  WatchedFileSystem() {
    std::filesystem::create_directories(Scratch());
    std::filesystem::create_directories(StoreRoot());
    if (!std::filesystem::exists(EmptyCopy())) {
      // The 14 bytes of a bzip2 stream of nothing.
      static const char kEmpty[] = "BZh9\x17\x72\x45\x38\x50\x90\x00\x00\x00\x00";
      std::ofstream(EmptyCopy(), std::ios::binary).write(kEmpty, 14);
    }
  }

  static std::string Scratch() { return TargetFolder() + "/restored"; }
  static std::string StoreRoot() { return TargetFolder() + "/store"; }
  // Empties the scratch folder for the next input.
  void Clear() {
    std::error_code ignored;
    std::filesystem::remove_all(Scratch(), ignored);
  }

  using FileSystem::Stat;
  std::optional<DirEntry> Stat(const std::string& path, FsStatus& why) override {
    if (!InStore(path)) return PosixFileSystem::Stat(path, why);
    why = FsStatus();
    DirEntry entry;
    entry.name = path.substr(path.rfind('/') + 1);
    entry.isRegularFile = true;
    entry.size = 14;
    entry.attributes = 0100644;
    return entry;
  }
  std::unique_ptr<FileStream> OpenRead(const std::string& path) override {
    return PosixFileSystem::OpenRead(InStore(path) ? EmptyCopy() : path);
  }

  FsStatus CreateDirectories(const std::string& path) override {
    Watch(path);
    return PosixFileSystem::CreateDirectories(path);
  }
  FsStatus ClearAttributes(const std::string& path) override {
    Watch(path);
    return PosixFileSystem::ClearAttributes(path);
  }
  FsStatus SetAttributes(const std::string& path, uint32_t attributes) override {
    Watch(path);
    return PosixFileSystem::SetAttributes(path, attributes);
  }
  FsStatus SetFileDate(const std::string& path, int32_t dosDate) override {
    Watch(path);
    return PosixFileSystem::SetFileDate(path, dosDate);
  }
  FsStatus CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
    Watch(to);
    return PosixFileSystem::CopyFile(from, to, overwrite);
  }
  FsStatus LinkFile(const std::string& from, const std::string& to) override {
    Watch(to);
    return PosixFileSystem::LinkFile(from, to);
  }
  FsStatus DeleteFile(const std::string& path) override {
    Watch(path);
    return PosixFileSystem::DeleteFile(path);
  }
  FsStatus RemoveDirectory(const std::string& path) override {
    Watch(path);
    return PosixFileSystem::RemoveDirectory(path);
  }
  FsStatus Rename(const std::string& from, const std::string& to) override {
    Watch(from);
    Watch(to);
    return PosixFileSystem::Rename(from, to);
  }
  std::unique_ptr<FileStream> Create(const std::string& path) override {
    Watch(path);
    return PosixFileSystem::Create(path);
  }
  std::unique_ptr<FileStream> CreateNew(const std::string& path) override {
    Watch(path);
    return PosixFileSystem::CreateNew(path);
  }
  std::unique_ptr<FileStream> OpenWrite(const std::string& path) override {
    Watch(path);
    return PosixFileSystem::OpenWrite(path);
  }
  FsStatus AppendToFile(const std::string& path, const std::string& text, bool startNew) override {
    Watch(path);
    return PosixFileSystem::AppendToFile(path, text, startNew);
  }
  FsStatus WriteFileAtomic(const std::string& path, const std::string& contents) override {
    Watch(path);
    return PosixFileSystem::WriteFileAtomic(path, contents);
  }

 private:
  static std::string EmptyCopy() { return TargetFolder() + "/empty.ZZ"; }
  static bool InStore(const std::string& path) { return path.rfind(StoreRoot() + "/", 0) == 0; }
  // The place, links resolved as far as they exist, lies in the scratch
  // folder (the real file system resolves it: nothing here is made up).
  void Watch(const std::string& path) {
    PosixFileSystem real;
    FUZZ_CHECK(PathContainment(real).IsSameOrBelow(path, Scratch()));
  }
};

}  // namespace varnoket::fuzz
