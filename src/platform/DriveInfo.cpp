#include "platform/DriveInfo.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "platform/AsciiText.h"
#include "platform/PathRules.h"

namespace varnoket {
namespace {

// File systems reached over the network. FUSE mounts show as "fuse.<name>".
constexpr std::array<std::string_view, 24> kRemoteTypes = {
    "nfs",  "nfs4",   "cifs",   "smb3",      "smbfs", "smb",      "ncpfs",   "ncp",
    "afs",  "coda",   "ceph",   "glusterfs", "9p",    "davfs",    "sshfs",   "curlftpfs",
    "s3fs", "rclone", "lustre", "beegfs",    "gpfs",  "orangefs", "moosefs", "cephfs"};

bool IsRemoteType(std::string_view fsType) {
  if (fsType.substr(0, 5) == "fuse.") fsType.remove_prefix(5);
  for (const auto remote : kRemoteTypes) {
    if (fsType == remote) return true;
  }
  return false;
}

// The mount table escapes blanks, tabs, new lines and backslashes as \ooo.
std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3' &&
        text[i + 2] >= '0' && text[i + 2] <= '7' && text[i + 3] >= '0' && text[i + 3] <= '7') {
      out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                               (text[i + 3] - '0'));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::optional<std::string> RealPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

// The nearest ancestor of `path` (itself included) that exists, with its
// links resolved, so a folder still to be created is judged by where it will
// be created.
std::optional<std::string> ExistingAncestor(const std::string& path) {
  std::filesystem::path p = std::filesystem::path(path).lexically_normal();
  for (;;) {
    if (auto resolved = RealPath(p.string())) return resolved;
    if (!p.has_relative_path()) return std::nullopt;
    const std::filesystem::path parent = p.parent_path();
    if (parent == p) return std::nullopt;
    p = parent;
  }
}

void CheckPath(const std::string& path) {
  if (path.empty() || path.front() != '/') {
    throw std::invalid_argument(path + " is a invalid drive letter.");
  }
}

std::string ReadFirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return std::string(TrimBlanks(line));
}

std::string LastComponent(const std::string& mountPoint) {
  const size_t pos = mountPoint.rfind('/');
  if (pos == std::string::npos || pos + 1 == mountPoint.size()) return mountPoint;
  return mountPoint.substr(pos + 1);
}

}  // namespace

DriveInfo::DriveInfo(std::string mountInfoPath, std::string sysBlockPath)
    : mountInfoPath_(std::move(mountInfoPath)), sysBlockPath_(std::move(sysBlockPath)) {}

std::vector<MountEntry> DriveInfo::ReadMounts() const {
  // Line shape: id parent major:minor root mount-point options [optional...] - type source super
  std::vector<MountEntry> mounts;
  std::ifstream in(mountInfoPath_);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string w; fields >> w;) words.push_back(w);
    if (words.size() < 7) continue;
    size_t dash = 6;
    while (dash < words.size() && words[dash] != "-") ++dash;
    if (dash + 2 >= words.size()) continue;
    MountEntry m;
    m.mountPoint = Unescape(words[4]);
    m.fsType = Unescape(words[dash + 1]);
    m.source = Unescape(words[dash + 2]);
    unsigned major = 0;
    unsigned minor = 0;
    if (std::sscanf(words[2].c_str(), "%u:%u", &major, &minor) == 2) {
      m.device = static_cast<uint64_t>(makedev(major, minor));
    }
    mounts.push_back(std::move(m));
  }
  return mounts;
}

MountEntry DriveInfo::MountFor(const std::string& path) const {
  const auto existing = ExistingAncestor(path);
  if (!existing) return {};
  const PathRules posix(PathStyle::kPosix);
  MountEntry best;
  bool found = false;
  // Later lines win among equal mount points: a mount stacked on another
  // hides it.
  for (auto& m : ReadMounts()) {
    if (!posix.IsSameOrBelow(*existing, m.mountPoint)) continue;
    if (!found || m.mountPoint.size() >= best.mountPoint.size()) {
      best = std::move(m);
      found = true;
    }
  }
  return best;
}

bool DriveInfo::IsRemovableDevice(const std::string& source) const {
  if (source.rfind("/dev/", 0) != 0) return false;
  // /dev/disk/by-*/ and /dev/mapper/ names are links to the kernel's name.
  const std::string device = LastComponent(RealPath(source).value_or(source));
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path block(sysBlockPath_);
  if (fs::exists(block / device / "removable", ec)) {
    return ReadFirstLine((block / device / "removable").string()) == "1";
  }
  // A partition is a sub-folder of its disk.
  for (fs::directory_iterator it(block, ec), end; !ec && it != end; it.increment(ec)) {
    if (fs::exists(it->path() / device, ec)) {
      return ReadFirstLine((it->path() / "removable").string()) == "1";
    }
  }
  return false;
}

int32_t DriveInfo::ClassifyMount(const MountEntry& mount) const {
  if (mount.mountPoint.empty()) return DRIVE_UNKNOWN;
  if (IsRemoteType(mount.fsType)) return DRIVE_REMOTE;
  if (mount.fsType == "tmpfs" || mount.fsType == "ramfs" || mount.fsType == "devtmpfs") {
    return DRIVE_RAMDISK;
  }
  if ((mount.fsType == "iso9660" || mount.fsType == "udf") &&
      (mount.source.rfind("/dev/sr", 0) == 0 || mount.source.rfind("/dev/scd", 0) == 0 ||
       LastComponent(RealPath(mount.source).value_or("")).rfind("sr", 0) == 0)) {
    return DRIVE_CDROM;
  }
  if (IsRemovableDevice(mount.source)) return DRIVE_REMOVABLE;
  return DRIVE_FIXED;
}

bool DriveInfo::RefreshDrive(const std::string& path, int parts) {
  CheckPath(path);
  const auto existing = ExistingAncestor(path);
  const MountEntry mount = existing ? MountFor(*existing) : MountEntry{};
  DriveRecord& rec = records_[mount.mountPoint];
  rec.Refreshed = true;
  rec.DriveType = existing ? ClassifyMount(mount) : DRIVE_NO_ROOT_DIR;
  rec.ValidType = rec.DriveType >= DRIVE_REMOVABLE && rec.DriveType <= DRIVE_RAMDISK;
  if (!rec.ValidType) {
    rec.DiskSize = 0;
    rec.DiskPresent = false;
    rec.DisplayName.clear();
    rec.ShortName.clear();
    rec.LongName.clear();
    rec.SerialNumber = 0;
    return false;
  }

  const bool remote = rec.DriveType == DRIVE_REMOTE;
  if (parts & kDrivePartSize) {
    struct statvfs vfs {};
    rec.DiskSize = ::statvfs(existing->c_str(), &vfs) == 0
                       ? static_cast<int64_t>(vfs.f_blocks) * static_cast<int64_t>(vfs.f_frsize)
                       : -1;
    rec.DiskPresent = rec.DiskSize > 0;
    struct stat st {};
    if (rec.DiskPresent && ::stat(existing->c_str(), &st) == 0) {
      rec.SerialNumber = static_cast<uint32_t>(st.st_dev & 0xFFFFFFFFu);
      rec.FileSystem = mount.fsType;
      rec.FileSystemFlags = static_cast<uint32_t>(vfs.f_flag);
    } else {
      rec.SerialNumber = 0;
      if (rec.DiskPresent) rec.FileSystem.clear();
    }
  }

  if (parts & kDrivePartNames) {
    if ((parts & kDrivePartSize) && !rec.DiskPresent) {
      // No medium: the mount point is all there is to show.
      rec.DisplayName = rec.ShortName = rec.LongName = mount.mountPoint;
    } else {
      rec.DisplayName = LastComponent(mount.mountPoint);
      // A share is shown by its first word, as its longer form names the source.
      const std::string shown =
          remote ? rec.DisplayName.substr(0, rec.DisplayName.find(' ')) : rec.DisplayName;
      rec.ShortName = mount.mountPoint + ": " + shown;
      rec.LongName = mount.mountPoint + ": " + (remote ? mount.source : rec.DisplayName);
    }
  }

  if ((parts & kDrivePartIcon) && rec.IconIndex == 0) rec.IconIndex = 1 + rec.DriveType;
  return rec.ValidType && rec.DiskPresent;
}

DriveRecord DriveInfo::GetDriveRec(const std::string& path) const {
  CheckPath(path);
  const auto existing = ExistingAncestor(path);
  const MountEntry mount = existing ? MountFor(*existing) : MountEntry{};
  if (const auto it = records_.find(mount.mountPoint); it != records_.end()) return it->second;
  // Never refreshed: the creation values, with the type, which touches no
  // medium.
  DriveRecord rec;
  rec.DriveType = existing ? ClassifyMount(mount) : DRIVE_NO_ROOT_DIR;
  rec.ValidType = rec.DriveType >= DRIVE_REMOVABLE && rec.DriveType <= DRIVE_RAMDISK;
  return rec;
}

bool IsRemotePath(DriveInfo& drives, const std::string& path) {
  if (path.empty() || path.front() != '/') return false;
  drives.RefreshDrive(path, kDriveAllParts);
  return drives.GetDriveRec(path).DriveType == DRIVE_REMOTE;
}

}  // namespace varnoket
