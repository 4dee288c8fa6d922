// Where the program keeps its settings file VARNOKET.INI. A copy in a folder
// of its own keeps it beside itself, as it always has. A copy installed by
// the package manager runs from a system folder it must not write (or cannot:
// `/usr/bin`), so it keeps its settings in the user's configuration folder
// and leaves updating itself to the package manager.
#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace varnoket {

struct SettingsPlace {
  std::string folder;      // the folder that holds VARNOKET.INI
  bool installed = false;  // the program is an installed one: it never updates itself
  std::string problem;     // why `folder` cannot be used ("" when it can)
};

// The user's configuration folder for the program: `$XDG_CONFIG_HOME/varnoket`,
// or `~/.config/varnoket` when that variable is unset, empty or relative.
std::string UserSettingsFolder(const std::string& xdgConfigHome, const std::string& home);

// A program folder of the system's own programs, which a package manager owns.
bool IsSystemProgramFolder(const std::string& programFolder);

// Decides where the program whose file lies in `programFolder` keeps its
// settings, creating the user's configuration folder when that is the place.
SettingsPlace FindSettingsPlace(FileSystem& fs, const std::string& programFolder,
                                const std::string& xdgConfigHome, const std::string& home);

// The same, from this process's environment.
SettingsPlace FindSettingsPlace(FileSystem& fs, const std::string& programFolder);

// Written once to the system log by an installed copy.
inline constexpr const char* kInstalledUpdatesOff =
    "Mise à jour automatique désactivée : ce programme a été installé par le gestionnaire de "
    "paquets, qui le met à jour.";

}  // namespace varnoket
