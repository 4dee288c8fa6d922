#include "platform/ProgramPath.h"

#include <unistd.h>

namespace varnoket {

std::string OwnProgramPath() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "";
  return std::string(buffer, static_cast<size_t>(n));
}

std::string ProgramFolderOf(const std::string& programPath) {
  const size_t slash = programPath.rfind('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return programPath.substr(0, slash);
}

}  // namespace varnoket
