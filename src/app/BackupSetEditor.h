// The rules of the backup set's editing in the main window: which folder may
// join the list (a fixed local disk, neither inside the store nor holding
// it, not there already), the question before one leaves it, and the
// exclusion filters. The window shows the lists; this decides what they hold.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "platform/Dialogs.h"
#include "platform/DriveInfo.h"
#include "platform/FileSystem.h"
#include "platform/FolderPicker.h"
#include "settings/StationSettings.h"

namespace varnoket {

class BackupSetEditor {
 public:
  BackupSetEditor(FileSystem& fs, Dialogs& dialogs, FolderPicker& picker, DriveInfo& drives,
                  StationSettings& station)
      : fs_(fs), dialogs_(dialogs), picker_(picker), drives_(drives), station_(station) {}

  // False, after saying so, while no backup root is configured.
  bool RootConfigured(const std::string& backupRoot);
  // Asks for a folder and adds it in list order when every rule allows it;
  // true when the list changed (not saved yet: see Save).
  bool AddDirectory(const std::string& backupRoot);
  // Asks first; true when entry `row` left the list (not saved yet).
  bool RemoveDirectory(size_t row);
  // Adds a filter in list order (not saved yet).
  void AddExclusion(const std::string& filter);
  void RemoveExclusion(size_t row);
  // Whether the list holds filters a new backup set starts with (music,
  // video, the swap file), and their removal, the person's choice to back
  // those files up too (not saved yet).
  bool HasDefaultExclusions() const;
  void RemoveDefaultExclusions();
  // Hidden folders walked or left out; written at once (false, after an
  // error box, when the station file cannot be written).
  bool SetIncludeHidden(bool include);
  // Writes the backup set to the station file (an error box when it cannot).
  void Save();
  // After each save, the machine's copy of the set is made the same (for a
  // station backed up to several disks in turn); "" keeps none.
  void KeepCopyAt(std::string programSettingsPath, std::string station) {
    keptSetPath_ = std::move(programSettingsPath);
    keptSetStation_ = std::move(station);
  }

 private:
  FileSystem& fs_;
  Dialogs& dialogs_;
  FolderPicker& picker_;
  DriveInfo& drives_;
  StationSettings& station_;
  std::string keptSetPath_;
  std::string keptSetStation_;
};

}  // namespace varnoket
