// A folder shown a second time at another place (a bind mount), for tests of
// what reaches one folder through two names. Mounting needs privileges: a
// test checks Mounted() and skips when the system refused. Declare it after
// the temporary folder that holds both places, so it is undone first.
#pragma once

#include <sys/mount.h>

#include <string>

namespace varnoket::test {

class BindMount {
 public:
  // `readOnly`: nothing can be written through `at`, not even by root.
  BindMount(const std::string& folder, const std::string& at, bool readOnly = false) : at_(at) {
    mounted_ = ::mount(folder.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (mounted_ && readOnly &&
        ::mount(nullptr, at.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
      ::umount2(at.c_str(), MNT_DETACH);
      mounted_ = false;
    }
  }
  ~BindMount() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  BindMount(const BindMount&) = delete;
  BindMount& operator=(const BindMount&) = delete;

  bool Mounted() const { return mounted_; }

 private:
  std::string at_;
  bool mounted_ = false;
};

}  // namespace varnoket::test
