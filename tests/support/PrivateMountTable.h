// A mount table of this process's own, for tests that watch the mount table
// and count its changes: ctest runs two tests at once, and a mount the other
// one makes would be counted too. What this process and its children mount
// afterwards is in its table alone; the machine's mounts made afterwards no
// longer reach it.
#pragma once

#include <sched.h>
#include <sys/mount.h>

namespace varnoket::test {

// Call on the main thread, before the watch starts (/proc/self/mountinfo is
// the main thread's table). False when the system refuses; the test then
// watches the machine's table, as before.
inline bool TakePrivateMountTable() {
  if (::unshare(CLONE_NEWNS) != 0) return false;
  return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

}  // namespace varnoket::test
