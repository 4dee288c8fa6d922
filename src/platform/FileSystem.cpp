#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/DosDate.h"
#include "platform/InstanceLockFolder.h"
#include "platform/UniqueFd.h"

namespace varnoket {
namespace {

DirEntry MakeEntry(std::string name, const struct stat& st, bool isLink) {
  DirEntry e;
  e.name = std::move(name);
  e.isDirectory = S_ISDIR(st.st_mode);
  e.isRegularFile = S_ISREG(st.st_mode);
  e.isSymlink = isLink;
  e.hidden = !e.name.empty() && e.name.front() == '.';
  e.system = false;
  e.size = e.isRegularFile ? static_cast<uint64_t>(st.st_size) : 0;
  e.attributes = static_cast<uint32_t>(st.st_mode);
  e.dosDate = DosDateFromTime(st.st_mtime);
  e.device = static_cast<uint64_t>(st.st_dev);
  e.inode = static_cast<uint64_t>(st.st_ino);
  e.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  e.changedNs = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return e;
}

std::string BaseName(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const size_t pos = p.rfind('/');
  return pos == std::string::npos ? p : p.substr(pos + 1);
}

std::string FolderOf(const std::string& path) {
  const size_t pos = path.rfind('/');
  if (pos == std::string::npos) return ".";
  if (pos == 0) return "/";
  return path.substr(0, pos);
}

std::string TempNameFor(const std::string& path) {
  return path + ".tmp-" + std::to_string(::getpid());
}

// The operations as system calls; false with errno set when one fails.

bool CreateDirectoriesDone(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  if (ec) errno = ec.value();
  return false;
}

bool ClearAttributesDone(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool SetAttributesDone(const std::string& path, uint32_t attributes) {
  return ::chmod(path.c_str(), static_cast<mode_t>(attributes & 07777)) == 0;
}

bool SetFileDateDone(const std::string& path, int32_t dosDate) {
  const std::time_t t = TimeFromDosDate(dosDate);
  if (t == -1) {
    errno = EINVAL;
    return false;
  }
  const timespec times[2] = {{t, 0}, {t, 0}};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool CopyFileDone(const std::string& from, const std::string& to, bool overwrite) {
  struct stat existing {};
  if (!overwrite && ::lstat(to.c_str(), &existing) == 0) {
    errno = EEXIST;
    return false;
  }
  UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.ok()) return false;
  struct stat src {};
  if (::fstat(in.get(), &src) != 0) return false;
  if (S_ISDIR(src.st_mode)) {
    errno = EISDIR;
    return false;
  }
  // The copy is built under a temporary name in the target folder, so the
  // target name only ever holds a whole file.
  const std::string temp = TempNameFor(to);
  UniqueFd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  if (!out.ok()) return false;
  auto fail = [&temp]() {
    ErrnoKeeper keep;
    ::unlink(temp.c_str());
    return false;
  };
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail();
    }
    if (n == 0) break;
    if (!WriteAll(out.get(), buffer.data(), static_cast<size_t>(n))) return fail();
  }
  // The copy keeps the permissions and the last-write time of its source, as
  // a copied file does on the desktop.
  if (::fchmod(out.get(), src.st_mode & 07777) != 0) return fail();
  const timespec times[2] = {src.st_atim, src.st_mtim};
  if (::futimens(out.get(), times) != 0) return fail();
  if (!out.Close()) return fail();
  if (::rename(temp.c_str(), to.c_str()) != 0) return fail();
  return true;
}

bool LinkFileDone(const std::string& from, const std::string& to) {
  return ::link(from.c_str(), to.c_str()) == 0;
}

bool DeleteFileDone(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

bool RemoveDirectoryDone(const std::string& path) {
  return ::rmdir(path.c_str()) == 0;
}

bool RenameDone(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// The descriptor of a file this system opened; -1 for a file of another
// kind, on which the system's calls then fail as on a closed one (EBADF).
int DescriptorOf(const FileStream& stream) {
  const auto* file = dynamic_cast<const PosixFileStream*>(&stream);
  return file != nullptr ? file->fd() : -1;
}

bool SetStreamPermissionsDone(FileStream& stream, uint32_t permissions) {
  return ::fchmod(DescriptorOf(stream), static_cast<mode_t>(permissions & 07777)) == 0;
}

bool SetStreamSizeDone(FileStream& stream, int64_t size) {
  return ::ftruncate(DescriptorOf(stream), static_cast<off_t>(size)) == 0;
}

bool AppendToFileDone(const std::string& path, const std::string& text, bool startNew) {
  const int flags =
      startNew ? O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC : O_WRONLY | O_APPEND | O_CLOEXEC;
  UniqueFd fd(::open(path.c_str(), flags, 0666));
  if (!fd.ok()) return false;
  if (!WriteAll(fd.get(), text.data(), text.size())) return false;
  return fd.Close();
}

bool WriteFileAtomicDone(const std::string& path, const std::string& contents) {
  // A file the user made read-only stays unwritable, as it would be if it
  // were written in place; the rename alone would ignore its permissions.
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && ::access(path.c_str(), W_OK) != 0) return false;

  const std::string temp = TempNameFor(path);
  UniqueFd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!out.ok()) return false;
  auto fail = [&temp]() {
    ErrnoKeeper keep;
    ::unlink(temp.c_str());
    return false;
  };
  if (!WriteAll(out.get(), contents.data(), contents.size())) return fail();
  if (exists && ::fchmod(out.get(), existing.st_mode & 07777) != 0) return fail();
  if (::fsync(out.get()) != 0) return fail();
  if (!out.Close()) return fail();
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail();
  // The new name must survive a crash too. The file is already in place, so
  // a folder that cannot be flushed (some file systems refuse) is not a
  // failure of this write.
  UniqueFd dir(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.ok()) ::fsync(dir.get());
  return true;
}

bool SyncFileSystemDone(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.ok()) {
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.ok()) return false;
    return ::syncfs(file.get()) == 0;
  }
  return ::syncfs(fd.get()) == 0;
}

}  // namespace

LockStatus LockStatusOfError(int error) {
  if (error == EAGAIN || error == EACCES) return LockStatus::kBusy;
  if (error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL) {
    return LockStatus::kUnsupported;
  }
  return LockStatus::kFailed;
}

bool FileSystem::IsDirectory(const std::string& path) {
  const auto e = Stat(path);
  return e && e->isDirectory;
}

bool FileSystem::IsFile(const std::string& path) {
  const auto e = Stat(path);
  return e && e->isRegularFile;
}

std::optional<std::vector<DirEntry>> PosixFileSystem::ListDirectory(const std::string& dir,
                                                                    FsStatus& why) {
  why = {};
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) {
    why = FsStatus::Failed(FsOp::kList, dir, errno);
    return std::nullopt;
  }
  std::unique_ptr<DIR, int (*)(DIR*)> guard(d, ::closedir);
  const int dfd = ::dirfd(d);
  std::vector<DirEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* ent = ::readdir(d);
    if (ent == nullptr) {
      if (errno != 0) {
        why = FsStatus::Failed(FsOp::kList, dir, errno);
        return std::nullopt;
      }
      break;
    }
    const std::string name = ent->d_name;
    if (name == "." || name == "..") continue;
    struct stat own {};
    if (::fstatat(dfd, ent->d_name, &own, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone meanwhile
    const bool isLink = S_ISLNK(own.st_mode);
    struct stat target {};
    // A dangling link is listed as what it is, a link to nothing.
    if (isLink && ::fstatat(dfd, ent->d_name, &target, 0) == 0) {
      entries.push_back(MakeEntry(name, target, true));
    } else {
      entries.push_back(MakeEntry(name, own, isLink));
    }
  }
  return entries;
}

std::optional<DirEntry> PosixFileSystem::Stat(const std::string& path, FsStatus& why) {
  struct stat own {};
  if (::lstat(path.c_str(), &own) != 0) {
    why = FsStatus::Failed(FsOp::kStat, path, errno);
    return std::nullopt;
  }
  why = FsStatus();
  const bool isLink = S_ISLNK(own.st_mode);
  struct stat target {};
  if (isLink && ::stat(path.c_str(), &target) == 0) return MakeEntry(BaseName(path), target, true);
  return MakeEntry(BaseName(path), own, isLink);
}

FsStatus PosixFileSystem::CreateDirectories(const std::string& path) {
  return FsStatus::FromErrno(CreateDirectoriesDone(path), FsOp::kCreateFolder, path);
}

FsStatus PosixFileSystem::ClearAttributes(const std::string& path) {
  return FsStatus::FromErrno(ClearAttributesDone(path), FsOp::kSetAttributes, path);
}

FsStatus PosixFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  return FsStatus::FromErrno(SetAttributesDone(path, attributes), FsOp::kSetAttributes, path);
}

FsStatus PosixFileSystem::SetFileDate(const std::string& path, int32_t dosDate) {
  return FsStatus::FromErrno(SetFileDateDone(path, dosDate), FsOp::kSetDate, path);
}

FsStatus PosixFileSystem::CopyFile(const std::string& from, const std::string& to, bool overwrite) {
  return FsStatus::FromErrno(CopyFileDone(from, to, overwrite), FsOp::kCopy, to);
}

FsStatus PosixFileSystem::LinkFile(const std::string& from, const std::string& to) {
  return FsStatus::FromErrno(LinkFileDone(from, to), FsOp::kLink, to);
}

FsStatus PosixFileSystem::DeleteFile(const std::string& path) {
  return FsStatus::FromErrno(DeleteFileDone(path), FsOp::kDelete, path);
}

FsStatus PosixFileSystem::RemoveDirectory(const std::string& path) {
  return FsStatus::FromErrno(RemoveDirectoryDone(path), FsOp::kRemoveFolder, path);
}

FsStatus PosixFileSystem::Rename(const std::string& from, const std::string& to) {
  return FsStatus::FromErrno(RenameDone(from, to), FsOp::kRename, to);
}

std::unique_ptr<FileStream> PosixFileSystem::OpenRead(const std::string& path) {
  return std::make_unique<PosixFileStream>(path, PosixFileStream::Mode::kRead);
}

std::unique_ptr<FileStream> PosixFileSystem::Create(const std::string& path) {
  return std::make_unique<PosixFileStream>(path, PosixFileStream::Mode::kCreateTruncate);
}

std::unique_ptr<FileStream> PosixFileSystem::CreateNew(const std::string& path) {
  return std::make_unique<PosixFileStream>(path, PosixFileStream::Mode::kCreateNew);
}

std::unique_ptr<FileStream> PosixFileSystem::OpenWrite(const std::string& path) {
  return std::make_unique<PosixFileStream>(path, PosixFileStream::Mode::kWriteExisting);
}

std::optional<DirEntry> PosixFileSystem::StatStream(const FileStream& stream) {
  struct stat st {};
  if (::fstat(DescriptorOf(stream), &st) != 0) return std::nullopt;
  return MakeEntry(BaseName(stream.path()), st, false);
}

FsStatus PosixFileSystem::SetStreamPermissions(FileStream& stream, uint32_t permissions) {
  return FsStatus::FromErrno(SetStreamPermissionsDone(stream, permissions), FsOp::kSetAttributes,
                             stream.path());
}

FsStatus PosixFileSystem::SetStreamSize(FileStream& stream, int64_t size) {
  return FsStatus::FromErrno(SetStreamSizeDone(stream, size), FsOp::kSetSize, stream.path());
}

FsStatus PosixFileSystem::AppendToFile(const std::string& path, const std::string& text,
                                       bool startNew) {
  return FsStatus::FromErrno(AppendToFileDone(path, text, startNew), FsOp::kAppend, path);
}

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& path, FsStatus& why) {
  why = {};
  const auto failed = [&](int error) {
    why = FsStatus::Failed(FsOp::kRead, path, error);
    return std::nullopt;
  };
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok()) return failed(errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return failed(errno);
  if (S_ISDIR(st.st_mode)) return failed(EISDIR);
  std::string contents;
  if (st.st_size > 0) contents.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failed(errno);
    }
    if (n == 0) break;
    contents.append(buffer, static_cast<size_t>(n));
  }
  return contents;
}

FsStatus PosixFileSystem::WriteFileAtomic(const std::string& path, const std::string& contents) {
  return FsStatus::FromErrno(WriteFileAtomicDone(path, contents), FsOp::kWrite, path);
}

FsStatus PosixFileSystem::SyncFileSystem(const std::string& path) {
  return FsStatus::FromErrno(SyncFileSystemDone(path), FsOp::kSync, path);
}

std::optional<uint64_t> PosixFileSystem::FreeSpace(const std::string& path) {
  struct statvfs info {};
  if (::statvfs(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<uint64_t>(info.f_bavail) * static_cast<uint64_t>(info.f_frsize);
}

std::optional<uint64_t> PosixFileSystem::FileSystemId(const std::string& path) {
  struct statvfs info {};
  if (::statvfs(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<uint64_t>(info.f_fsid);
}

namespace {

class PosixFileLock final : public FileLock {
 public:
  explicit PosixFileLock(UniqueFd fd) : fd_(std::move(fd)) {}
  bool WriteHolder(const std::string& text) override {
    if (::ftruncate(fd_.get(), 0) != 0) return false;
    if (::lseek(fd_.get(), 0, SEEK_SET) != 0) return false;
    return WriteAll(fd_.get(), text.data(), text.size()) && ::fsync(fd_.get()) == 0;
  }

 private:
  UniqueFd fd_;  // closing it releases the lock
};

// Open-file-description locks: held by this open file, not by the process,
// so two opens in one process exclude each other as two processes do, and
// the lock goes with the last descriptor. Network file systems carry them to
// the server (NFS) or map them to the server's byte-range locks (SMB).
int SetRangeLock(int fd, const LockRequest& request) {
  struct flock fl {};
  fl.l_type = request.shared ? F_RDLCK : F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(request.start);
  fl.l_len = static_cast<off_t>(request.length);  // 0: to the end, however it grows
  int r;
  do {
    r = ::fcntl(fd, request.wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl);
  } while (r != 0 && errno == EINTR);
  return r;
}

}  // namespace

LockStatus PosixFileSystem::LockRange(const std::string& path, const LockRequest& request,
                                      std::unique_ptr<FileLock>& lock, FsStatus& why) {
  lock.reset();
  why = {};
  const int flags = request.readOnly ? O_RDONLY | O_CLOEXEC | O_NOFOLLOW
                                     : O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW;
  UniqueFd fd(::open(path.c_str(), flags, 0644));
  if (!fd.ok()) {
    why = FsStatus::Failed(FsOp::kLock, path, errno);
    return LockStatus::kFailed;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    why = FsStatus::Failed(FsOp::kLock, path, EINVAL);
    return LockStatus::kFailed;
  }
  if (SetRangeLock(fd.get(), request) != 0) {
    why = FsStatus::Failed(FsOp::kLock, path, errno);
    return LockStatusOfError(why.systemError());
  }
  lock = std::make_unique<PosixFileLock>(std::move(fd));
  return LockStatus::kAcquired;
}

std::optional<std::string> PosixFileSystem::Resolve(const std::string& path) {
  std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), ::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

bool PosixFileSystem::MayWrite(const std::string& path) {
  return ::access(path.c_str(), W_OK) == 0;
}

std::optional<std::string> PosixFileSystem::ReadLink(const std::string& path) {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0) return std::nullopt;
    // A target that fills the buffer may have been cut: read again, larger.
    if (static_cast<size_t>(length) < target.size()) {
      target.resize(static_cast<size_t>(length));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

std::string PosixFileSystem::PrivateFolder(std::vector<std::string>& refusals) {
  return varnoket::PrivateFolder(ThisUsersPlaces(), refusals);
}

FileSystem& DefaultFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

}  // namespace varnoket
