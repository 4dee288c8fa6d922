// Every file-system access of the engine goes through this interface, so that
// tests can inject faults (a full disk, an unreadable file, a failed rename)
// and the core stays portable. PosixFileSystem is the real one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FsStatus.h"
#include "platform/Stream.h"

namespace varnoket {

// Attribute bits as the engine sees them. On POSIX the attribute word that is
// recorded is st_mode; these helpers say what the engine needs of it.
struct DirEntry {
  std::string name;  // the entry's own name, no folder part
  bool isDirectory = false;
  bool isRegularFile = false;  // after following a symbolic link
  bool isSymlink = false;      // the entry itself is a symbolic link
  bool hidden = false;         // POSIX: the name starts with "."
  bool system = false;         // POSIX: never
  uint64_t size = 0;           // bytes, for regular files
  uint32_t attributes = 0;     // POSIX: st_mode (of the target for a link)
  int32_t dosDate = 0;         // last-write time, packed DOS form, local time
  // The system's identity of what the entry reaches (POSIX: st_dev, st_ino;
  // of the target for a link): two names of one folder (a link, a bind
  // mount) have the same pair.
  uint64_t device = 0;
  uint64_t inode = 0;
  // The last change of the content and of the entry itself, in nanoseconds
  // (POSIX: st_mtim, st_ctim): a read that sees either move saw the file
  // change under it.
  int64_t modifiedNs = 0;
  int64_t changedNs = 0;
};

// A lock on a file or on bytes of it, held until the handle is destroyed (or
// the process ends, however it ends: the kernel releases it). The locked
// file's contents say who holds it, for whoever finds it taken.
class FileLock {
 public:
  virtual ~FileLock() = default;
  // Replaces the locked file's contents and flushes them to the disk; false
  // when the lock's file was opened for reading only.
  virtual bool WriteHolder(const std::string& text) = 0;
};

// Which bytes of a lock file a lock covers and how it is held. Locks of
// separate bytes never meet, so one file carries several locks: the
// station's writer on one byte, its readers on another. A byte beyond the
// end of the file can be locked; the file's contents are not involved.
struct LockRequest {
  uint64_t start = 0;
  uint64_t length = 0;  // 0: from `start` on, however the file grows
  bool shared = false;  // shared with other shared locks; exclusive otherwise
  bool wait = false;    // block until the bytes are free; else kBusy at once
  // Opens the existing file for reading only, never creating it: enough for
  // a shared lock, and all that a read-only store allows.
  bool readOnly = false;
};

enum class LockStatus {
  kAcquired,
  kBusy,         // another process (here or on another machine) holds it
  kUnsupported,  // the file system refuses locks (some network mounts)
  kFailed,       // the file cannot be opened, or is no regular file
};

// What a lock that the system refused with `error` (an errno value) means.
LockStatus LockStatusOfError(int error);

// A run calls OpenRead, StatStream and the reads of the streams they give
// from several threads at once (the scan's read of the backup set, the check
// of new copies): an implementation keeps those calls safe together.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The entries of a folder, "." and ".." left out, in the system's order.
  // nullopt when the folder cannot be listed.
  // `why` then says why.
  virtual std::optional<std::vector<DirEntry>> ListDirectory(const std::string& dir,
                                                             FsStatus& why) = 0;
  std::optional<std::vector<DirEntry>> ListDirectory(const std::string& dir) {
    FsStatus why;
    return ListDirectory(dir, why);
  }
  // The entry for one path (symbolic links followed for the type, size, date
  // and attributes; isSymlink tells whether the path itself is a link).
  // nullopt when there is none or it cannot be looked at, `why` then saying
  // why.
  virtual std::optional<DirEntry> Stat(const std::string& path, FsStatus& why) = 0;
  std::optional<DirEntry> Stat(const std::string& path) {
    FsStatus why;
    return Stat(path, why);
  }

  bool Exists(const std::string& path) { return Stat(path).has_value(); }
  bool IsDirectory(const std::string& path);
  bool IsFile(const std::string& path);

  // Creates the folder and every missing parent; true when it exists after.
  virtual FsStatus CreateDirectories(const std::string& path) = 0;
  // Makes the file writable by its owner (stands in for clearing the
  // read-only attribute).
  virtual FsStatus ClearAttributes(const std::string& path) = 0;
  // Sets the recorded attribute word (POSIX: the permission bits of st_mode).
  virtual FsStatus SetAttributes(const std::string& path, uint32_t attributes) = 0;
  // Sets the last-write time from a packed DOS date (local time).
  virtual FsStatus SetFileDate(const std::string& path, int32_t dosDate) = 0;

  virtual FsStatus CopyFile(const std::string& from, const std::string& to, bool overwrite) = 0;
  // A second name for the same file (hard link); false where unsupported.
  virtual FsStatus LinkFile(const std::string& from, const std::string& to) = 0;
  virtual FsStatus DeleteFile(const std::string& path) = 0;
  // Removes an empty folder.
  virtual FsStatus RemoveDirectory(const std::string& path) = 0;
  // Renames, replacing an existing file at `to`.
  virtual FsStatus Rename(const std::string& from, const std::string& to) = 0;

  // Streams; throw StreamError (with the system's reason) when the file
  // cannot be opened or created.
  virtual std::unique_ptr<FileStream> OpenRead(const std::string& path) = 0;
  virtual std::unique_ptr<FileStream> Create(const std::string& path) = 0;
  // Creates a file that does not exist yet, never through a link; a taken
  // name throws (systemError EEXIST) and is left as it is.
  virtual std::unique_ptr<FileStream> CreateNew(const std::string& path) = 0;
  // Opens a file that exists for writing, at its start and with its bytes
  // kept, never through a link.
  virtual std::unique_ptr<FileStream> OpenWrite(const std::string& path) = 0;
  // The entry of an open stream's file as it is now; nullopt when the system
  // cannot tell.
  virtual std::optional<DirEntry> StatStream(const FileStream& stream) = 0;
  // Sets the permission bits of an open stream's file.
  virtual FsStatus SetStreamPermissions(FileStream& stream, uint32_t permissions) = 0;
  // Makes an open stream's file `size` bytes long (ftruncate): cut there, or
  // lengthened by bytes that read as zeros and take no room on a file system
  // with holes. The stream's position does not move.
  virtual FsStatus SetStreamSize(FileStream& stream, int64_t size) = 0;
  // Adds `text` at the end of a file in one write, so that the lines of two
  // writers never mix. With `startNew` the file is first created, or emptied,
  // readable by all as the umask allows; without it a missing file is a
  // failure. The file is open only for the length of the call.
  virtual FsStatus AppendToFile(const std::string& path, const std::string& text,
                                bool startNew) = 0;

  // Whole-file helpers. ReadFile: nullopt when unreadable (a folder
  // included), `why` then saying why.
  virtual std::optional<std::string> ReadFile(const std::string& path, FsStatus& why) = 0;
  std::optional<std::string> ReadFile(const std::string& path) {
    FsStatus why;
    return ReadFile(path, why);
  }
  // Writes to a temporary file in the same folder, flushes it to the disk and
  // renames it over `path`, so a crash leaves either the old or the new file.
  virtual FsStatus WriteFileAtomic(const std::string& path, const std::string& contents) = 0;
  // Flushes everything written on the file system that holds `path`.
  virtual FsStatus SyncFileSystem(const std::string& path) = 0;
  // The bytes an unprivileged program may still write on the file system
  // that holds `path` (POSIX: statvfs f_bavail * f_frsize); nullopt when the
  // system cannot tell.
  virtual std::optional<uint64_t> FreeSpace(const std::string& path) = 0;
  // The identity of the file system that holds `path` (POSIX: statvfs's
  // f_fsid, which most disk file systems derive from their own id, so it
  // stays the same from one mount to the next); nullopt when unknown.
  virtual std::optional<uint64_t> FileSystemId(const std::string& path) = 0;
  // The absolute path without symbolic links, "." or ".." (realpath);
  // nullopt when `path` does not exist or cannot be resolved.
  virtual std::optional<std::string> Resolve(const std::string& path) = 0;
  // True when this user may add and change entries in the folder `path`
  // (POSIX: access W_OK, which weighs the owner, the groups and any access
  // list, as no reading of the mode bits alone can).
  virtual bool MayWrite(const std::string& path) = 0;
  // The target the symbolic link `path` holds, as written (perhaps relative
  // to the link's folder, perhaps missing); nullopt when `path` is no link.
  virtual std::optional<std::string> ReadLink(const std::string& path) = 0;

  // A folder of this user's own, that no other local user can write, for
  // what no one else may take or touch (the station lock's stand-in): the
  // first safe place of InstanceLockFolder.h, made when missing. "" when
  // there is none, `refusals` then saying why each place was passed over.
  virtual std::string PrivateFolder(std::vector<std::string>& refusals) = 0;

  // Locks bytes of `path` as `request` says (the file is created when
  // missing unless the request is read-only, and never followed when it is a
  // symbolic link). The lock belongs to the open file, not to the process:
  // two locks taken here in one process exclude each other as two processes'
  // do. `lock` receives the handle on kAcquired; `why` says why another
  // answer came (the lock file cannot be opened, the system refused).
  virtual LockStatus LockRange(const std::string& path, const LockRequest& request,
                               std::unique_ptr<FileLock>& lock, FsStatus& why) = 0;
  LockStatus LockRange(const std::string& path, const LockRequest& request,
                       std::unique_ptr<FileLock>& lock) {
    FsStatus why;
    return LockRange(path, request, lock, why);
  }
  // An exclusive lock on the whole of `path`. With `wait`, blocks until the
  // lock is free; without, answers kBusy at once.
  LockStatus LockFile(const std::string& path, bool wait, std::unique_ptr<FileLock>& lock) {
    return LockRange(path, LockRequest{0, 0, false, wait, false}, lock);
  }
};

class PosixFileSystem : public FileSystem {
 public:
  using FileSystem::ListDirectory;
  std::optional<std::vector<DirEntry>> ListDirectory(const std::string& dir,
                                                     FsStatus& why) override;
  using FileSystem::Stat;
  std::optional<DirEntry> Stat(const std::string& path, FsStatus& why) override;
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
  std::optional<uint64_t> FreeSpace(const std::string& path) override;
  std::optional<uint64_t> FileSystemId(const std::string& path) override;
  std::optional<std::string> Resolve(const std::string& path) override;
  bool MayWrite(const std::string& path) override;
  std::optional<std::string> ReadLink(const std::string& path) override;
  std::string PrivateFolder(std::vector<std::string>& refusals) override;
  LockStatus LockRange(const std::string& path, const LockRequest& request,
                       std::unique_ptr<FileLock>& lock, FsStatus& why) override;
};

// The process-wide real file system.
FileSystem& DefaultFileSystem();

}  // namespace varnoket
