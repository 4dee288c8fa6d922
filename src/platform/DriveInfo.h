// Drive classification: what kind of storage holds a path (local disk,
// removable medium, optical disc, network share, RAM disk), its size and
// names. On Linux a "drive" is the mount that holds the path, read from the
// mount table and the block devices' removable flags.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace varnoket {

// Drive type codes, the same numbers on every system.
inline constexpr int32_t DRIVE_UNKNOWN = 0;
inline constexpr int32_t DRIVE_NO_ROOT_DIR = 1;
inline constexpr int32_t DRIVE_REMOVABLE = 2;
inline constexpr int32_t DRIVE_FIXED = 3;
inline constexpr int32_t DRIVE_REMOTE = 4;
inline constexpr int32_t DRIVE_CDROM = 5;
inline constexpr int32_t DRIVE_RAMDISK = 6;

// Parts of a refresh, combined as bits.
inline constexpr int kDrivePartIcon = 1;
inline constexpr int kDrivePartSize = 2;
inline constexpr int kDrivePartNames = 4;
inline constexpr int kDriveAllParts = 7;

struct DriveRecord {
  bool Refreshed = false;
  bool ValidType = false;    // DriveType between 2 and 6
  bool DiskPresent = false;  // DiskSize above 0
  int32_t DriveType = DRIVE_UNKNOWN;
  std::string DisplayName;       // the mount point's last component, "/" for the root
  std::string ShortName;         // mount point and name
  std::string LongName;          // mount point and name, or for a share mount point and source
  uint32_t SerialNumber = 0;     // low 32 bits of the device number
  int64_t DiskSize = -1;         // bytes; -1 until measured
  int32_t IconIndex = 0;         // 0 until fetched; then 1 + DriveType (the program's own pictures)
  std::string FileSystem;        // file system type, e.g. "ext4", "nfs4"
  uint32_t FileSystemFlags = 0;  // statvfs f_flag bits (read-only, nosuid ...)
};

// One line of the mount table.
struct MountEntry {
  std::string mountPoint;
  std::string fsType;
  std::string source;
  uint64_t device = 0;  // major:minor from the table, as makedev
};

class DriveInfo {
 public:
  explicit DriveInfo(std::string mountInfoPath = "/proc/self/mountinfo",
                     std::string sysBlockPath = "/sys/block");

  // Re-reads the information of the mount that holds `path`; `parts` is a
  // set of kDrivePart* bits. True when the type is valid and a medium is
  // present. Throws std::invalid_argument for a relative or empty path.
  bool RefreshDrive(const std::string& path, int parts = kDriveAllParts);
  // A copy of the record of the mount that holds `path` (creation values
  // with the type filled in when it was never refreshed). Throws
  // std::invalid_argument for a relative or empty path.
  DriveRecord GetDriveRec(const std::string& path) const;

  // The mount that holds `path` (longest mount point, component-wise, of the
  // nearest existing ancestor with links resolved); empty mountPoint when
  // none does.
  MountEntry MountFor(const std::string& path) const;
  // The drive type a mount has, from its file system type and device.
  int32_t ClassifyMount(const MountEntry& mount) const;

 private:
  std::vector<MountEntry> ReadMounts() const;
  bool IsRemovableDevice(const std::string& source) const;

  std::string mountInfoPath_;
  std::string sysBlockPath_;
  std::map<std::string, DriveRecord> records_;  // by mount point
};

// True when `path` lies on a network file system (refreshes its drive first).
// A relative or empty path is not remote.
bool IsRemotePath(DriveInfo& drives, const std::string& path);

}  // namespace varnoket
