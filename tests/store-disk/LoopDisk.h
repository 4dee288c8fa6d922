// A removable disk for tests: an ext4 image file mounted on a loop device at
// a folder of the test's own, that can be unplugged (unmounted, at once or
// lazily as a desktop does when a disk is pulled out) and plugged in again.
// Mounting needs privileges: a test checks Mounted() and skips with why().
// Declare it after the temporary folder that holds the image and the mount
// point, so it is unmounted first.
#pragma once

#include <string>

namespace varnoket::test {

class LoopDisk {
 public:
  // Makes an image of `megabytes` at `image` and mounts it at `point`
  // (created when missing); 0 megabytes mounts the image already there.
  LoopDisk(std::string image, std::string point, int megabytes);
  ~LoopDisk();
  LoopDisk(const LoopDisk&) = delete;
  LoopDisk& operator=(const LoopDisk&) = delete;

  bool Mounted() const { return mounted_; }
  // Why the disk could not be made or mounted.
  const std::string& why() const { return why_; }
  const std::string& point() const { return point_; }

  bool Plug();
  // With `lazy`, the mount leaves the folder tree at once while files still
  // open on it stay usable (umount -l).
  bool Unplug(bool lazy = false);

 private:
  std::string image_;
  std::string point_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace varnoket::test
