#include "app/MainWindowRules.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/AsciiText.h"

namespace varnoket {

std::string VersionFromTitle(const std::string& title) {
  size_t at = std::string::npos;
  for (size_t i = 0; i + 7 <= title.size(); ++i) {
    if (EqualsIgnoreCase(std::string_view(title).substr(i, 7), "version")) {
      at = i;
      break;
    }
  }
  if (at == std::string::npos) return "";
  const std::string rest(TrimBlanks(std::string_view(title).substr(at + 7)));
  const size_t blank = rest.find(' ');
  // Without a blank after it the version is not taken: the title is expected
  // to go on with its notice.
  if (blank == std::string::npos) return "";
  return rest.substr(0, blank);
}

bool IsInstalledProgramName(const std::string& programPath) {
  const size_t slash = programPath.rfind('/');
  const std::string name = slash == std::string::npos ? programPath : programPath.substr(slash + 1);
  return EqualsIgnoreCase(name, "varnoket");
}

AutostartFolders DefaultAutostartFolders() {
  AutostartFolders folders;
  std::string system = "/etc/xdg";
  if (const char* dirs = std::getenv("XDG_CONFIG_DIRS"); dirs != nullptr && *dirs != '\0') {
    const std::string all(dirs);
    system = all.substr(0, all.find(':'));
  }
  folders.system = system + "/autostart";
  if (const char* home = std::getenv("XDG_CONFIG_HOME"); home != nullptr && *home != '\0') {
    folders.user = std::string(home) + "/autostart";
  } else if (const char* h = std::getenv("HOME"); h != nullptr && *h != '\0') {
    folders.user = std::string(h) + "/.config/autostart";
  }
  return folders;
}

std::string ChooseStartupFolder(FileSystem& fs, const AutostartFolders& folders) {
  if (!folders.system.empty()) {
    const auto entry = fs.Stat(folders.system);
    if (entry && entry->isDirectory && ::access(folders.system.c_str(), W_OK) == 0) {
      return folders.system;
    }
  }
  if (folders.user.empty()) return "";
  if (!fs.CreateDirectories(folders.user)) return "";
  return folders.user;
}

}  // namespace varnoket
