#include "settings/SettingsFolder.h"

#include "platform/Environment.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "settings/ConfigurationRules.h"

namespace varnoket {
namespace {

constexpr const char* kCannotMakeFolder =
    VK_TR_NOOP("Messages",
               "Impossible de créer le dossier des réglages (%s) !\r\n"
               "Veuillez vérifier les droits d'accès en écriture de ce dossier.");

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string UserSettingsFolder(const std::string& xdgConfigHome, const std::string& home) {
  if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') {
    return WithoutTrailingSlashes(xdgConfigHome) + "/varnoket";
  }
  return WithoutTrailingSlashes(home.empty() ? "/" : home) + "/.config/varnoket";
}

bool IsSystemProgramFolder(const std::string& programFolder) {
  const std::string folder = WithoutTrailingSlashes(programFolder);
  for (const char* system : {"/usr/bin", "/usr/local/bin", "/bin", "/usr/sbin", "/sbin",
                             "/usr/games", "/usr/local/games"}) {
    if (folder == system) return true;
  }
  return false;
}

SettingsPlace FindSettingsPlace(FileSystem& fs, const std::string& programFolder,
                                const std::string& xdgConfigHome, const std::string& home) {
  SettingsPlace place;
  // A system folder counts as installed even when this user may write it (a
  // root session): settings must never land among the system's programs.
  if (!IsSystemProgramFolder(programFolder) && CanWriteInFolder(fs, programFolder)) {
    place.folder = programFolder;
    return place;
  }
  place.installed = true;
  place.folder = UserSettingsFolder(xdgConfigHome, home);
  if (!fs.CreateDirectories(place.folder) || !CanWriteInFolder(fs, place.folder)) {
    place.problem = FillText(kCannotMakeFolder, {place.folder});
  }
  return place;
}

SettingsPlace FindSettingsPlace(FileSystem& fs, const std::string& programFolder) {
  return FindSettingsPlace(fs, programFolder, EnvironmentValue("XDG_CONFIG_HOME"),
                           EnvironmentValue("HOME"));
}

}  // namespace varnoket
