#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>

#include "platform/DriveInfo.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::TempDir;
using test::WriteFile;

// A hand-written mount table and block-device folder over real folders of a
// temporary folder, so every kind of drive can be met on any machine.
class DriveInfoTest : public ::testing::Test {
 protected:
  DriveInfoTest() : base_(std::filesystem::canonical(dir_.path()).string()) {
    table_ = "21 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n";
    WriteFile(base_ + "/block/sdb/removable", "1\n");
    std::filesystem::create_directories(base_ + "/block/sdb/sdb1");
    WriteFile(base_ + "/block/sdc/removable", "0\n");
    std::filesystem::create_directories(base_ + "/block/sdc/sdc1");
  }

  // Mounts `fsType` from `source` on base/name (name as the table escapes it).
  std::string Mount(const std::string& fsType, const std::string& source, const std::string& name,
                    const std::string& folder = "") {
    const std::string point = base_ + "/" + (folder.empty() ? name : folder);
    std::filesystem::create_directories(point);
    table_ += "40 21 0:50 / " + base_ + "/" + name + " rw - " + fsType + " " + source + " rw\n";
    return point;
  }

  DriveInfo Drives() {
    WriteFile(base_ + "/mountinfo", table_);
    return DriveInfo(base_ + "/mountinfo", base_ + "/block");
  }

  TempDir dir_;
  std::string base_;
  std::string table_;
};

TEST_F(DriveInfoTest, EachKindOfMountGetsItsType) {
  struct Case {
    const char* fsType;
    const char* source;
    int32_t expected;
  };
  const Case cases[] = {
      {"nfs", "srv:/export", DRIVE_REMOTE},      {"nfs4", "srv:/", DRIVE_REMOTE},
      {"cifs", "//srv/share", DRIVE_REMOTE},     {"smb3", "//srv/share", DRIVE_REMOTE},
      {"fuse.sshfs", "me@host:/", DRIVE_REMOTE}, {"9p", "hostshare", DRIVE_REMOTE},
      {"tmpfs", "tmpfs", DRIVE_RAMDISK},         {"ramfs", "none", DRIVE_RAMDISK},
      {"iso9660", "/dev/sr0", DRIVE_CDROM},      {"udf", "/dev/sr1", DRIVE_CDROM},
      {"iso9660", "/dev/loop7", DRIVE_FIXED},    {"vfat", "/dev/sdb1", DRIVE_REMOVABLE},
      {"exfat", "/dev/sdb", DRIVE_REMOVABLE},    {"ext4", "/dev/sdc1", DRIVE_FIXED},
      {"overlay", "overlay", DRIVE_FIXED},
  };
  std::vector<std::string> points;
  for (size_t i = 0; i < std::size(cases); ++i) {
    points.push_back(Mount(cases[i].fsType, cases[i].source, "m" + std::to_string(i)));
  }
  DriveInfo drives = Drives();
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(drives.GetDriveRec(points[i]).DriveType, cases[i].expected)
        << cases[i].fsType << " " << cases[i].source;
  }
  EXPECT_EQ(drives.GetDriveRec(base_).DriveType, DRIVE_FIXED);
}

TEST_F(DriveInfoTest, APathBelongsToTheLongestMountThatHoldsItsNearestExistingFolder) {
  const std::string nfs = Mount("nfs4", "srv:/export", "nfs");
  std::filesystem::create_directories(base_ + "/nfsx");
  const std::string spaced = Mount("cifs", "//srv/a\\040b", "my\\040share", "my share");
  DriveInfo drives = Drives();
  EXPECT_EQ(drives.GetDriveRec(nfs + "/not/yet/made").DriveType, DRIVE_REMOTE);
  EXPECT_EQ(drives.GetDriveRec(base_ + "/nfsx").DriveType, DRIVE_FIXED);
  EXPECT_EQ(drives.GetDriveRec(spaced + "/x").DriveType, DRIVE_REMOTE);
  EXPECT_EQ(drives.MountFor(spaced).source, "//srv/a b");
  EXPECT_TRUE(IsRemotePath(drives, nfs + "/backups"));
  EXPECT_FALSE(IsRemotePath(drives, base_ + "/nfsx"));
  EXPECT_FALSE(IsRemotePath(drives, "nfs/backups"));
}

TEST_F(DriveInfoTest, ARefreshFillsTheRecordOfTheWholeMount) {
  const std::string nfs = Mount("nfs4", "srv:/export", "nfs");
  DriveInfo drives = Drives();
  const DriveRecord fresh = drives.GetDriveRec(nfs);
  EXPECT_FALSE(fresh.Refreshed);
  EXPECT_TRUE(fresh.ValidType);
  EXPECT_EQ(fresh.DriveType, DRIVE_REMOTE);
  EXPECT_EQ(fresh.DiskSize, -1);
  EXPECT_FALSE(fresh.DiskPresent);

  EXPECT_TRUE(drives.RefreshDrive(nfs + "/a/b"));
  const DriveRecord rec = drives.GetDriveRec(nfs);
  EXPECT_TRUE(rec.Refreshed);
  EXPECT_TRUE(rec.DiskPresent);
  EXPECT_GT(rec.DiskSize, 0);
  EXPECT_EQ(rec.FileSystem, "nfs4");
  EXPECT_EQ(rec.DisplayName, "nfs");
  EXPECT_EQ(rec.ShortName, nfs + ": nfs");
  EXPECT_EQ(rec.LongName, nfs + ": srv:/export");
  EXPECT_NE(rec.IconIndex, 0);
  struct stat st {};
  ASSERT_EQ(::stat(nfs.c_str(), &st), 0);
  EXPECT_EQ(rec.SerialNumber, static_cast<uint32_t>(st.st_dev & 0xFFFFFFFFu));

  // The root mount is another drive, still never refreshed.
  EXPECT_FALSE(drives.GetDriveRec(base_).Refreshed);
  drives.RefreshDrive(base_);
  const DriveRecord root = drives.GetDriveRec("/");
  EXPECT_EQ(root.DisplayName, "/");
  EXPECT_EQ(root.LongName, "/: /");
}

TEST_F(DriveInfoTest, RelativePathsAreRefusedAndAnUnreadableTableKnowsNothing) {
  DriveInfo drives = Drives();
  try {
    drives.RefreshDrive("data");
    FAIL() << "a relative path was accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "data is a invalid drive letter.");
  }
  EXPECT_THROW(drives.GetDriveRec(""), std::invalid_argument);

  DriveInfo blind(base_ + "/no-such-table", base_ + "/block");
  EXPECT_FALSE(blind.RefreshDrive(base_));
  const DriveRecord rec = blind.GetDriveRec(base_);
  EXPECT_EQ(rec.DriveType, DRIVE_UNKNOWN);
  EXPECT_FALSE(rec.ValidType);
  EXPECT_EQ(rec.DiskSize, 0);
}

}  // namespace
}  // namespace varnoket
