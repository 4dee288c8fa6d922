#include "store-disk/LoopDisk.h"

#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace varnoket::test {
namespace {

bool Run(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

}  // namespace

LoopDisk::LoopDisk(std::string image, std::string point, int megabytes)
    : image_(std::move(image)), point_(std::move(point)) {
  std::filesystem::create_directories(point_);
  if (::geteuid() != 0) {
    why_ = "mounting a disk image needs root";
    return;
  }
  if (megabytes > 0 && (!Run("truncate -s " + std::to_string(megabytes) + "M " + Quoted(image_)) ||
                        !Run("mkfs.ext4 -q -F -m 0 " + Quoted(image_)))) {
    why_ = "mkfs.ext4 could not make a disk image";
    return;
  }
  if (!Plug()) why_ = "mount -o loop refused the disk image (no loop device here?)";
}

LoopDisk::~LoopDisk() {
  if (mounted_) ::umount2(point_.c_str(), MNT_DETACH);
}

bool LoopDisk::Plug() {
  if (mounted_) return true;
  mounted_ = Run("mount -o loop " + Quoted(image_) + " " + Quoted(point_));
  return mounted_;
}

bool LoopDisk::Unplug(bool lazy) {
  if (!mounted_) return true;
  mounted_ = ::umount2(point_.c_str(), lazy ? MNT_DETACH : 0) != 0;
  return !mounted_;
}

}  // namespace varnoket::test
