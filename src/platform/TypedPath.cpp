#include "platform/TypedPath.h"

#include <unistd.h>

#include <filesystem>

namespace varnoket {

std::string AbsolutePath(const std::string& path) {
  std::filesystem::path p(path);
  if (p.is_relative()) {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd) != nullptr) p = std::filesystem::path(cwd) / p;
  }
  std::string normal = p.lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

}  // namespace varnoket
