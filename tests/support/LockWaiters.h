// Whether a process waits in the kernel for a lock on a file, as
// /proc/locks shows it ("->" before a waiting lock): what a test awaits
// before it lets a lock go, instead of sleeping for a while.
#pragma once

#include <sys/stat.h>

#include <fstream>
#include <string>

namespace varnoket::test {

inline bool SomeoneWaitsFor(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  const std::string inode = ":" + std::to_string(st.st_ino) + " ";
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    if (line.find("->") != std::string::npos && line.find(inode) != std::string::npos) return true;
  }
  return false;
}

}  // namespace varnoket::test
