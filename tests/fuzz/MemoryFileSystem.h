// A file system whose files live in memory, for the fuzz targets: each input
// becomes a file without a disk write, and the readers under test reach it
// through the same FileSystem calls as in the program. What it does not keep
// (locks, streams) falls through to the real file system, so the paths used
// with it lie in a real temporary folder of the target's own, and the folders
// it holds exist there too.
#pragma once

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace varnoket::fuzz {

class MemoryFileSystem : public PosixFileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;

  std::optional<DirEntry> Stat(const std::string& path) override {
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
