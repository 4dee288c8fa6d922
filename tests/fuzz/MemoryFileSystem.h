// A file system whose files live in memory, for the fuzz targets: each input
// becomes a file without a disk write, and the readers under test reach it
// through the same FileSystem calls as in the program, open files included
// (MemoryFileStream). What it does not keep (locks, free space, links) falls
// through to the real file system, so the paths used with it lie in a real
// temporary folder of the target's own, and the folders it holds exist there
// too.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace varnoket::fuzz {

// An open file of a MemoryFileSystem: its bytes are the map's entry, looked
// up at each call, so a file deleted while open fails as a closed one would.
class MemoryFileStream final : public FileStream {
 public:
  MemoryFileStream(std::map<std::string, std::string>& files, const std::string& path)
      : FileStream(path), files_(files) {}

  size_t Read(void* buffer, size_t count) override {
    const std::string& bytes = Bytes();
    const size_t at = std::min(position_, bytes.size());
    const size_t n = std::min(count, bytes.size() - at);
    if (n != 0) std::memcpy(buffer, bytes.data() + at, n);
    position_ = at + n;
    return n;
  }
  size_t Write(const void* buffer, size_t count) override {
    std::string& bytes = Bytes();
    if (bytes.size() < position_ + count) bytes.resize(position_ + count, '\0');
    if (count != 0) std::memcpy(bytes.data() + position_, buffer, count);
    position_ += count;
    return count;
  }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    const int64_t base = origin == SeekOrigin::kBegin     ? 0
                         : origin == SeekOrigin::kCurrent ? static_cast<int64_t>(position_)
                                                          : Size();
    if (base + offset < 0) throw StreamError("Invalid argument", EINVAL);
    position_ = static_cast<size_t>(base + offset);
    return base + offset;
  }
  int64_t Size() const override { return static_cast<int64_t>(Bytes().size()); }
  void Sync() override { Bytes(); }
  void Close() override { closed_ = true; }
  void DropCachedPages() override {}

 private:
  // The file's bytes (the map is the file system's, not the stream's).
  std::string& Bytes() const {
    const auto file = files_.find(path());
    if (closed_ || file == files_.end()) throw StreamError("Bad file descriptor", EBADF);
    return file->second;
  }

  std::map<std::string, std::string>& files_;
  size_t position_ = 0;
  bool closed_ = false;
};

class MemoryFileSystem : public PosixFileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;

  using FileSystem::Stat;
  std::optional<DirEntry> Stat(const std::string& path, FsStatus& why) override {
    why = FsStatus();
    DirEntry entry;
    entry.name = path.substr(path.rfind('/') + 1);
    if (const auto file = files.find(path); file != files.end()) {
      entry.isRegularFile = true;
      entry.size = file->second.size();
      entry.attributes = 0100644;
      return entry;
    }
    if (folders.count(path) != 0) {
      entry.isDirectory = true;
      entry.attributes = 040755;
      return entry;
    }
    why = FsStatus::Failed(FsOp::kStat, path, ENOENT);
    return std::nullopt;
  }
  // Made for real too: a lock file beside a settings file needs its folder.
  FsStatus CreateDirectories(const std::string& path) override {
    if (files.count(path) != 0) return FsStatus::Failed(FsOp::kCreateFolder, path, EEXIST);
    folders.insert(path);
    return PosixFileSystem::CreateDirectories(path);
  }
  FsStatus SetAttributes(const std::string& path, uint32_t) override {
    return Exists(path) ? FsStatus() : FsStatus::Failed(FsOp::kSetAttributes, path, ENOENT);
  }
  FsStatus DeleteFile(const std::string& path) override {
    return files.erase(path) != 0 ? FsStatus() : FsStatus::Failed(FsOp::kDelete, path, ENOENT);
  }
  FsStatus Rename(const std::string& from, const std::string& to) override {
    const auto file = files.find(from);
    if (file == files.end()) return FsStatus::Failed(FsOp::kRename, to, ENOENT);
    std::string contents = std::move(file->second);
    files.erase(file);
    files[to] = std::move(contents);
    return {};
  }
  std::unique_ptr<FileStream> OpenRead(const std::string& path) override {
    Opened(path, false, false);
    return std::make_unique<MemoryFileStream>(files, path);
  }
  std::unique_ptr<FileStream> Create(const std::string& path) override {
    Opened(path, true, false);
    files[path].clear();
    return std::make_unique<MemoryFileStream>(files, path);
  }
  std::unique_ptr<FileStream> CreateNew(const std::string& path) override {
    Opened(path, true, true);
    files[path];
    return std::make_unique<MemoryFileStream>(files, path);
  }
  std::unique_ptr<FileStream> OpenWrite(const std::string& path) override {
    Opened(path, false, false);
    return std::make_unique<MemoryFileStream>(files, path);
  }
  std::optional<DirEntry> StatStream(const FileStream& stream) override {
    return Stat(stream.path());
  }
  FsStatus SetStreamPermissions(FileStream& stream, uint32_t) override {
    return Exists(stream.path()) ? FsStatus()
                                 : FsStatus::Failed(FsOp::kSetAttributes, stream.path(), EBADF);
  }
  FsStatus SetStreamSize(FileStream& stream, int64_t size) override {
    const auto file = files.find(stream.path());
    if (file == files.end() || size < 0) {
      return FsStatus::Failed(FsOp::kSetSize, stream.path(), EBADF);
    }
    file->second.resize(static_cast<size_t>(size), '\0');
    return {};
  }
  using FileSystem::ReadFile;
  std::optional<std::string> ReadFile(const std::string& path, FsStatus& why) override {
    const auto file = files.find(path);
    if (file == files.end()) {
      why = FsStatus::Failed(FsOp::kRead, path, ENOENT);
      return std::nullopt;
    }
    why = {};
    return file->second;
  }
  FsStatus WriteFileAtomic(const std::string& path, const std::string& contents) override {
    if (folders.count(path) != 0) return FsStatus::Failed(FsOp::kWrite, path, EISDIR);
    files[path] = contents;
    return {};
  }
  FsStatus AppendToFile(const std::string& path, const std::string& text, bool startNew) override {
    const auto file = files.find(path);
    if (file == files.end() && !startNew) return FsStatus::Failed(FsOp::kAppend, path, ENOENT);
    if (startNew) files[path].clear();
    files[path] += text;
    return {};
  }

 private:
  // Throws as opening a file of the system would: a folder cannot be
  // opened as a file, a missing one only created, an existing one not
  // created anew.
  void Opened(const std::string& path, bool creates, bool mustBeNew) const {
    if (folders.count(path) != 0) throw StreamError(path + ": Is a directory", EISDIR);
    const bool exists = files.count(path) != 0;
    if (!exists && !creates) throw StreamError(path + ": No such file or directory", ENOENT);
    if (exists && mustBeNew) throw StreamError(path + ": File exists", EEXIST);
  }
};

// A fresh folder for the target's files, made once per process and removed
// when the process ends normally (a crash leaves it for a look).
inline const std::string& TargetFolder() {
  static const std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/varnoket-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  static const bool cleanup = [] {
    return std::atexit([] {
             std::error_code ignored;
             std::filesystem::remove_all(folder, ignored);
           }) == 0;
  }();
  static_cast<void>(cleanup);
  return folder;
}

}  // namespace varnoket::fuzz
