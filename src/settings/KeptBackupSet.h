// The copy of the backup set this machine keeps beside its settings, for a
// station backed up to several disks in turn: the set lives in the station
// file on each disk, and a disk just added, or plugged in while the others
// are away, must still get it. <settings folder>/ENSEMBLES/<station>/<station>.ini,
// in the station file's own form (its directories, filters and save count).
#pragma once

#include <memory>
#include <string>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "settings/StationSettings.h"

namespace varnoket {

inline constexpr const char* kKeptSetsFolder = "ENSEMBLES";

// The root under which the copy lives, beside the program settings file.
std::string KeptSetRoot(const std::string& programSettingsPath);
// The copy; nullptr when there is none or it cannot be read.
std::unique_ptr<StationSettings> ReadKeptSet(FileSystem& fs, Dialogs& dialogs,
                                             const std::string& programSettingsPath,
                                             const std::string& station);
// Makes the copy `set`'s, writing only when it differs; a set of rank -1
// (a new disk's empty one) is never kept. False when it could
// not be written (the disks keep their sets; nothing else depends on it).
bool KeepBackupSet(FileSystem& fs, Dialogs& dialogs, const std::string& programSettingsPath,
                   const std::string& station, const StationSettings& set);

}  // namespace varnoket
