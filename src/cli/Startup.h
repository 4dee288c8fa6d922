// Loads the settings the way the window program's start-up does, for the
// command-line tool: the program settings beside the program (or in a given
// folder), the write test of the backup root, the station settings (created
// when missing) and the removal of a backup directory that holds the store.
#pragma once

#include <optional>
#include <string>

#include "engine/StoreLayout.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "settings/ProgramSettings.h"
#include "settings/StationSettings.h"

namespace varnoket {

struct LoadedSettings {
  ProgramSettings program;
  StationSettings station;
  std::string stationName;
  // Set when the station folder is another machine's: its settings are then
  // neither loaded nor saved, and no run may write there.
  std::string ownerProblem;
};

// The folder of the program settings: beside the running program, or the
// user's configuration folder for an installed program, as the window program
// decides. "" after printing why it cannot be used.
std::string SettingsFolder();

// Program settings and the backup root only (for the read-only commands).
// nullopt after printing why nothing can be done.
// With several stores, `wantedStore` names the one to work on; "" takes
// the first one present.
std::optional<LoadedSettings> LoadProgramSide(FileSystem& fs, const std::string& programFolder,
                                              const std::string& stationName,
                                              const std::string& wantedStore = "");

// Everything a backup needs, as the start-up checks load it. nullopt after
// the reason has gone through `dialogs`.
std::optional<LoadedSettings> LoadForBackup(FileSystem& fs, Dialogs& dialogs,
                                            const std::string& programFolder,
                                            const std::string& stationName,
                                            const std::string& wantedStore = "");

}  // namespace varnoket
