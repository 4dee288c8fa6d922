// A mount table of this process's own, for tests that watch the mount table
// and count its changes: ctest runs two tests at once, and a mount the other
// one makes would be counted too. What this process and its children mount
// afterwards is in its table alone; the machine's mounts made afterwards no
// longer reach it.
#pragma once

#include <sched.h>
#include <sys/mount.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace varnoket::test {

// Call on the main thread, before the watch starts (/proc/self/mountinfo is
// the main thread's table). False when the system refuses; the test then
// watches the machine's table, as before.
inline bool TakePrivateMountTable() {
  if (::unshare(CLONE_NEWNS) != 0) return false;
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  // The copy holds the mounts other tests had made under the temporary
  // folder. When such a test removes its folders, the kernel takes their
  // mounts out of every table, this one too, and the watch would count
  // it: they go from this table now, deepest first.
  const std::string temporary = std::filesystem::temp_directory_path().string() + "/";
  std::ifstream table("/proc/self/mountinfo");
  std::vector<std::string> points;
  for (std::string line; std::getline(table, line);) {
    std::istringstream fields(line);
    std::string id, parent, device, root, point;
    fields >> id >> parent >> device >> root >> point;
    if (point.rfind(temporary, 0) == 0) points.push_back(point);
  }
  std::sort(points.rbegin(), points.rend());
  for (const std::string& point : points) ::umount2(point.c_str(), MNT_DETACH);
  return true;
}

}  // namespace varnoket::test
