#include "support/FaultyFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/UniqueFd.h"

namespace varnoket::test {
namespace {

constexpr std::array<const char*, kFsCallKinds> kNames = {
    "list",
    "create folders",
    "clear attributes",
    "set attributes",
    "set file date",
    "copy",
    "link",
    "delete",
    "remove folder",
    "rename",
    "open for reading",
    "create",
    "read file",
    "atomic write",
    "sync",
    "append",
    "stat stream",
    "set stream permissions",
    "set stream size",
    "stream read",
    "stream write",
    "stream sync",
    "stream close",
    "lock",
};

[[noreturn]] void ThrowFault(const std::string& what, const std::string& path) {
  throw StreamError(what + " " + path + " : " + std::strerror(errno), errno);
}

// A file stream whose reads, writes, flushes and close go through the
// fault plan of the file system that opened it.
class FaultyStream final : public PosixFileStream {
 public:
  FaultyStream(FaultyFileSystem& fs, const std::string& path, Mode mode)
      : PosixFileStream(path, mode), fs_(fs) {}

  size_t Read(void* buffer, size_t count) override {
    if (fs_.Fails(FsCall::kStreamRead, path())) ThrowFault("Erreur de lecture du fichier", path());
    return PosixFileStream::Read(buffer, count);
  }
  size_t Write(const void* buffer, size_t count) override {
    if (fs_.Fails(FsCall::kStreamWrite, path())) {
      ThrowFault("Erreur d'écriture dans le fichier", path());
    }
    return PosixFileStream::Write(buffer, count);
  }
  void Sync() override {
    if (fs_.Fails(FsCall::kStreamSync, path())) {
      ThrowFault("Erreur d'écriture sur le disque du fichier", path());
    }
    PosixFileStream::Sync();
  }
  // A failed close still gives the descriptor back, as on Linux.
  void Close() override {
    if (fs_.Fails(FsCall::kStreamClose, path())) {
      const int error = errno;
      PosixFileStream::Close();
      errno = error;
      ThrowFault("Erreur à la fermeture du fichier", path());
    }
    PosixFileStream::Close();
  }

 private:
  FaultyFileSystem& fs_;
};

// The failure an injected fault stands for: Fails() left its errno.
FsStatus Fault(FsOp op, const std::string& path) {
  return FsStatus::Failed(op, path, errno);
}

// The real steps of an atomic write without the flushes: a read-only file
// stays, the new contents go under a temporary name with the old
// permissions, then the rename. False with errno set when one fails.
bool WriteWithoutFlushes(const std::string& path, const std::string& contents) {
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && ::access(path.c_str(), W_OK) != 0) return false;
  const std::string temp = path + ".tmp-" + std::to_string(::getpid());
  UniqueFd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!out.ok()) return false;
  if (!WriteAll(out.get(), contents.data(), contents.size()) ||
      (exists && ::fchmod(out.get(), existing.st_mode & 07777) != 0) || !out.Close() ||
      ::rename(temp.c_str(), path.c_str()) != 0) {
    ErrnoKeeper keep;
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

const char* FsCallName(FsCall kind) {
  return kNames[static_cast<size_t>(kind)];
}

void FaultyFileSystem::FailCall(long n, int error, bool sticky) {
  ResetCounts();
  plan_ = Plan{true, FsCall::kList, n, error, sticky};
}

void FaultyFileSystem::FailCall(FsCall kind, long n, int error, bool sticky) {
  ResetCounts();
  plan_ = Plan{false, kind, n, error, sticky};
}

void FaultyFileSystem::Disarm() {
  plan_ = Plan();
}

void FaultyFileSystem::ResetCounts() {
  total_ = 0;
  perKind_.fill(0);
  injected_.clear();
}

bool FaultyFileSystem::Fails(FsCall kind, const std::string& path) {
  std::lock_guard<std::mutex> hold(mutex_);
  ++total_;
  const long ofKind = ++perKind_[static_cast<size_t>(kind)];
  int error = rule ? rule(kind, path) : 0;
  if (error == 0 && plan_.error != 0 && (plan_.anyKind || plan_.kind == kind)) {
    const long n = plan_.anyKind ? total_ : ofKind;
    if (n == plan_.n || (plan_.sticky && n > plan_.n)) error = plan_.error;
  }
  if (error == 0) return false;
  injected_.push_back(InjectedFault{kind, path, total_});
  errno = error;
  return true;
}

std::optional<std::vector<DirEntry>> FaultyFileSystem::ListDirectory(const std::string& dir,
                                                                     FsStatus& why) {
  if (Fails(FsCall::kList, dir)) {
    why = FsStatus::Failed(FsOp::kList, dir, errno);
    return std::nullopt;
  }
  return PosixFileSystem::ListDirectory(dir, why);
}

FsStatus FaultyFileSystem::CreateDirectories(const std::string& path) {
  if (failCreateDirectories != 0)
    return FsStatus::Failed(FsOp::kCreateFolder, path, failCreateDirectories);
  if (Fails(FsCall::kCreateDirectories, path)) return Fault(FsOp::kCreateFolder, path);
  return PosixFileSystem::CreateDirectories(path);
}

FsStatus FaultyFileSystem::ClearAttributes(const std::string& path) {
  if (Fails(FsCall::kClearAttributes, path)) return Fault(FsOp::kSetAttributes, path);
  return PosixFileSystem::ClearAttributes(path);
}

FsStatus FaultyFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  if (Fails(FsCall::kSetAttributes, path)) return Fault(FsOp::kSetAttributes, path);
  return PosixFileSystem::SetAttributes(path, attributes);
}

FsStatus FaultyFileSystem::SetFileDate(const std::string& path, int32_t dosDate) {
  if (Fails(FsCall::kSetFileDate, path)) return Fault(FsOp::kSetDate, path);
  return PosixFileSystem::SetFileDate(path, dosDate);
}

FsStatus FaultyFileSystem::CopyFile(const std::string& from, const std::string& to,
                                    bool overwrite) {
  if (Fails(FsCall::kCopy, to)) return Fault(FsOp::kCopy, to);
  return PosixFileSystem::CopyFile(from, to, overwrite);
}

FsStatus FaultyFileSystem::LinkFile(const std::string& from, const std::string& to) {
  if (Fails(FsCall::kLink, to)) return Fault(FsOp::kLink, to);
  return PosixFileSystem::LinkFile(from, to);
}

FsStatus FaultyFileSystem::DeleteFile(const std::string& path) {
  if (Fails(FsCall::kDelete, path)) return Fault(FsOp::kDelete, path);
  return PosixFileSystem::DeleteFile(path);
}

FsStatus FaultyFileSystem::RemoveDirectory(const std::string& path) {
  if (Fails(FsCall::kRemoveDirectory, path)) return Fault(FsOp::kRemoveFolder, path);
  return PosixFileSystem::RemoveDirectory(path);
}

FsStatus FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  if (Fails(FsCall::kRename, to)) return Fault(FsOp::kRename, to);
  return PosixFileSystem::Rename(from, to);
}

std::unique_ptr<FileStream> FaultyFileSystem::OpenRead(const std::string& path) {
  if (Fails(FsCall::kOpenRead, path)) ThrowFault("Impossible d'ouvrir le fichier", path);
  return std::make_unique<FaultyStream>(*this, path, PosixFileStream::Mode::kRead);
}

std::unique_ptr<FileStream> FaultyFileSystem::Create(const std::string& path) {
  if (Fails(FsCall::kCreate, path)) ThrowFault("Impossible de créer le fichier", path);
  return std::make_unique<FaultyStream>(*this, path, PosixFileStream::Mode::kCreateTruncate);
}

std::unique_ptr<FileStream> FaultyFileSystem::CreateNew(const std::string& path) {
  if (Fails(FsCall::kCreate, path)) ThrowFault("Impossible de créer le fichier", path);
  return std::make_unique<FaultyStream>(*this, path, PosixFileStream::Mode::kCreateNew);
}

std::unique_ptr<FileStream> FaultyFileSystem::OpenWrite(const std::string& path) {
  if (Fails(FsCall::kCreate, path)) ThrowFault("Impossible d'ouvrir le fichier", path);
  return std::make_unique<FaultyStream>(*this, path, PosixFileStream::Mode::kWriteExisting);
}

FsStatus FaultyFileSystem::SetStreamSize(FileStream& stream, int64_t size) {
  if (Fails(FsCall::kSetStreamSize, stream.path())) return Fault(FsOp::kSetSize, stream.path());
  return PosixFileSystem::SetStreamSize(stream, size);
}

std::optional<DirEntry> FaultyFileSystem::StatStream(const FileStream& stream) {
  if (Fails(FsCall::kStatStream, stream.path())) return std::nullopt;
  return PosixFileSystem::StatStream(stream);
}

FsStatus FaultyFileSystem::SetStreamPermissions(FileStream& stream, uint32_t permissions) {
  if (Fails(FsCall::kSetStreamPermissions, stream.path()))
    return Fault(FsOp::kSetAttributes, stream.path());
  return PosixFileSystem::SetStreamPermissions(stream, permissions);
}

FsStatus FaultyFileSystem::AppendToFile(const std::string& path, const std::string& text,
                                        bool startNew) {
  if (Fails(FsCall::kAppend, path)) return Fault(FsOp::kAppend, path);
  return PosixFileSystem::AppendToFile(path, text, startNew);
}

std::optional<std::string> FaultyFileSystem::ReadFile(const std::string& path, FsStatus& why) {
  if (failReads != 0) {
    errno = failReads;
    why = FsStatus::Failed(FsOp::kRead, path, failReads);
    return std::nullopt;
  }
  if (Fails(FsCall::kReadFile, path)) {
    why = FsStatus::Failed(FsOp::kRead, path, errno);
    return std::nullopt;
  }
  return PosixFileSystem::ReadFile(path, why);
}

FsStatus FaultyFileSystem::WriteFileAtomic(const std::string& path, const std::string& contents) {
  if (failWrites != 0) return FsStatus::Failed(FsOp::kWrite, path, failWrites);
  if (Fails(FsCall::kWriteAtomic, path)) return Fault(FsOp::kWrite, path);
  ++writeCount;
  if (flushes) return PosixFileSystem::WriteFileAtomic(path, contents);
  return FsStatus::FromErrno(WriteWithoutFlushes(path, contents), FsOp::kWrite, path);
}

FsStatus FaultyFileSystem::SyncFileSystem(const std::string& path) {
  if (Fails(FsCall::kSync, path)) return Fault(FsOp::kSync, path);
  return flushes ? PosixFileSystem::SyncFileSystem(path) : FsStatus();
}

// A refused lock answers as the system's refusal would: busy, unsupported
// by the file system, or failed.
LockStatus FaultyFileSystem::LockRange(const std::string& path, const LockRequest& request,
                                       std::unique_ptr<FileLock>& lock, FsStatus& why) {
  lock.reset();
  if (Fails(FsCall::kLock, path)) {
    why = FsStatus::Failed(FsOp::kLock, path, errno);
    return LockStatusOfError(errno);
  }
  return PosixFileSystem::LockRange(path, request, lock, why);
}

}  // namespace varnoket::test
