// The clock-faking library of the faketime package, to preload straight into
// a program (LD_PRELOAD with FAKETIME="@yyyy-mm-dd hh:mm:ss"). The package's
// wrapper keeps named semaphores: two wrappers started together, or a run
// killed and a later one with the same process number, fail with
// "sem_open: File exists". The thread-safe build is preferred: the tool runs
// worker threads.
#pragma once

#include <unistd.h>

#include <string>

namespace varnoket::test {

// The library's path; "" when the package is not installed.
inline std::string FaketimeLibrary() {
  for (const char* dir :
       {"/usr/lib/x86_64-linux-gnu/faketime", "/usr/lib/aarch64-linux-gnu/faketime",
        "/usr/lib/faketime", "/usr/local/lib/faketime"}) {
    for (const char* name : {"libfaketimeMT.so.1", "libfaketime.so.1"}) {
      const std::string path = std::string(dir) + "/" + name;
      if (::access(path.c_str(), R_OK) == 0) return path;
    }
  }
  return {};
}

}  // namespace varnoket::test
