// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes; plus small helpers to make and read files.
#pragma once

#include <string>

namespace varnoket::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + relative
  std::string operator/(const std::string& relative) const;

 private:
  std::string path_;
};

// Writes `contents` to `path`, creating missing folders.
void WriteFile(const std::string& path, const std::string& contents);
// The whole file, or throws when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace varnoket::test
