// The real file system with faults on demand, for tests of what happens when
// a call fails (a full disk, a read-only medium, an input/output error)
// whoever runs the tests, root included.
//
// Every call that reads or changes the disk is counted, those of the streams
// it hands out included, so a test can first learn how many calls a run
// makes and then make the k-th of them fail, counting all calls or those of
// one kind, once or from then on. Stat (and so Exists, IsFile, IsDirectory)
// is not counted: it only asks.
#pragma once

#include <array>
#include <cerrno>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace varnoket::test {

enum class FsCall {
  kList,
  kCreateDirectories,
  kClearAttributes,
  kSetAttributes,
  kSetFileDate,
  kCopy,
  kLink,
  kDelete,
  kRemoveDirectory,
  kRename,
  kOpenRead,
  kCreate,
  kReadFile,
  kWriteAtomic,
  kSync,
  kAppend,
  kStatStream,
  kSetStreamPermissions,
  kSetStreamSize,
  kStreamRead,
  kStreamWrite,
  kStreamSync,
  kStreamClose,
  kLock,
};
inline constexpr size_t kFsCallKinds = static_cast<size_t>(FsCall::kLock) + 1;

// "rename", "stream write", ... for failure messages.
const char* FsCallName(FsCall kind);

// A fault that was injected: which call, on what path, and its number among
// all counted calls.
struct InjectedFault {
  FsCall kind;
  std::string path;
  long call = 0;
};

class FaultyFileSystem : public PosixFileSystem {
 public:
  // Standing faults, by errno value; 0 lets the calls through.
  int failWrites = 0;             // WriteFileAtomic
  int failCreateDirectories = 0;  // CreateDirectories
  int failReads = 0;              // ReadFile
  int writeCount = 0;             // WriteFileAtomic calls that reached the disk
  // Set: the free space the disk reports, whatever it really has (FreeSpace
  // only asks, and is not counted).
  std::optional<uint64_t> freeSpace;
  // False: the flushes to the disk (SyncFileSystem, and those of
  // WriteFileAtomic) are left out; the calls are still counted and may fail.
  // A flush costs much on a busy machine, and a sweep of failing calls has no
  // power cut to survive.
  bool flushes = true;

  // Asked before every counted call: a non-zero errno value makes it fail.
  // Lets a test fail calls on chosen paths, or act just before a call. It is
  // asked under the file system's lock, from whichever thread makes the call
  // (the workers of a run read sources and check copies).
  std::function<int(FsCall, const std::string& path)> rule;

  // Makes the n-th counted call from now (1-based, all kinds together) fail
  // with `error`; with `sticky`, every later call fails too, as a disk that
  // stays full. Counting restarts at zero.
  void FailCall(long n, int error, bool sticky = false);
  // The same, counting only the calls of one kind.
  void FailCall(FsCall kind, long n, int error, bool sticky = false);
  // No planned fault any more; the counts are kept.
  void Disarm();
  void ResetCounts();

  long calls() const { return total_; }
  long calls(FsCall kind) const { return perKind_[static_cast<size_t>(kind)]; }
  const std::vector<InjectedFault>& injected() const { return injected_; }

  using FileSystem::ListDirectory;
  std::optional<std::vector<DirEntry>> ListDirectory(const std::string& dir,
                                                     FsStatus& why) override;
  FsStatus CreateDirectories(const std::string& path) override;
  FsStatus ClearAttributes(const std::string& path) override;
  FsStatus SetAttributes(const std::string& path, uint32_t attributes) override;
  FsStatus SetFileDate(const std::string& path, int32_t dosDate) override;
  FsStatus CopyFile(const std::string& from, const std::string& to, bool overwrite) override;
  FsStatus LinkFile(const std::string& from, const std::string& to) override;
  FsStatus DeleteFile(const std::string& path) override;
  FsStatus RemoveDirectory(const std::string& path) override;
  FsStatus Rename(const std::string& from, const std::string& to) override;
  std::unique_ptr<FileStream> OpenRead(const std::string& path) override;
  std::unique_ptr<FileStream> Create(const std::string& path) override;
  std::unique_ptr<FileStream> CreateNew(const std::string& path) override;
  std::unique_ptr<FileStream> OpenWrite(const std::string& path) override;
  std::optional<DirEntry> StatStream(const FileStream& stream) override;
  FsStatus SetStreamPermissions(FileStream& stream, uint32_t permissions) override;
  FsStatus SetStreamSize(FileStream& stream, int64_t size) override;
  FsStatus AppendToFile(const std::string& path, const std::string& text, bool startNew) override;
  using FileSystem::LockRange;
  using FileSystem::ReadFile;
  std::optional<std::string> ReadFile(const std::string& path, FsStatus& why) override;
  FsStatus WriteFileAtomic(const std::string& path, const std::string& contents) override;
  FsStatus SyncFileSystem(const std::string& path) override;
  std::optional<uint64_t> FreeSpace(const std::string& path) override {
    return freeSpace ? freeSpace : PosixFileSystem::FreeSpace(path);
  }
  LockStatus LockRange(const std::string& path, const LockRequest& request,
                       std::unique_ptr<FileLock>& lock, FsStatus& why) override;

  // Counts a call and tells whether it must fail; errno is set when it must.
  // Public for the streams this file system hands out.
  bool Fails(FsCall kind, const std::string& path);

 private:
  struct Plan {
    bool anyKind = true;
    FsCall kind = FsCall::kList;
    long n = 0;
    int error = 0;
    bool sticky = false;
  };

  // The run reads its sources and checks its copies on worker threads.
  std::mutex mutex_;
  Plan plan_;
  long total_ = 0;
  std::array<long, kFsCallKinds> perKind_{};
  std::vector<InjectedFault> injected_;
};

}  // namespace varnoket::test
