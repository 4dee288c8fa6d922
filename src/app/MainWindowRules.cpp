#include "app/MainWindowRules.h"

#include "platform/AsciiText.h"
#include "platform/Environment.h"
#include "platform/PathRules.h"

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
  if (const std::string dirs = EnvironmentValue("XDG_CONFIG_DIRS"); !dirs.empty()) {
    system = dirs.substr(0, dirs.find(':'));
  }
  folders.system = JoinPath(system, "autostart");
  if (const std::string home = EnvironmentValue("XDG_CONFIG_HOME"); !home.empty()) {
    folders.user = JoinPath(home, "autostart");
  } else if (const std::string h = EnvironmentValue("HOME"); !h.empty()) {
    folders.user = JoinPath(h, ".config/autostart");
  }
  return folders;
}

std::string ChooseStartupFolder(FileSystem& fs, const AutostartFolders& folders) {
  if (!folders.system.empty()) {
    const auto entry = fs.Stat(folders.system);
    if (entry && entry->isDirectory && fs.MayWrite(folders.system)) {
      return folders.system;
    }
  }
  if (folders.user.empty()) return "";
  if (!fs.CreateDirectories(folders.user)) return "";
  return folders.user;
}

}  // namespace varnoket
