// The program settings file, VARNOKET.INI beside the program: where the store
// lives, when the daily backup runs and how many backup days the store keeps.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/DriveInfo.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/Translation.h"
#include "settings/RunCommandSettings.h"
#include "settings/SettingsKeys.h"
#include "settings/StoreList.h"

namespace varnoket {

inline constexpr const char* kProgramSettingsName = "VARNOKET.INI";
// Shown when the configuration is validated while the file could not be opened.
inline constexpr const char* kIniNotInitialised =
    VK_TR_NOOP("Messages", "Fichier ini non initialisé !");

struct ProgramSettings {
  // The root of the store the program works on: the first store (RACINE)
  // unless another one was chosen (UseStore). Empty: not configured (or
  // dropped because it is on the network).
  std::string backupRoot;
  // The first store, RACINE as cleaned, and its name; the stores after it.
  std::string firstRoot;
  std::string firstStoreName = kFirstStoreNameKey.fallback;
  std::vector<StoreEntry> otherStores;
  // 0: the first store; n: otherStores[n - 1].
  size_t activeStore = 0;
  bool networkStore = false;  // the store may be on a network file system
  int preferredHour = kPreferredHourKey.fallback;
  int preferredMinute = kPreferredMinuteKey.fallback;
  int daysKept = kDaysKeptKey.fallback;  // never below its floor once loaded
  int workers = kWorkersKey.fallback;    // 0: one per core
  RunCommandSettings commands;
  int rotationDays = kRotationDaysKey.fallback;  // 0: old copies are not checked
  std::unique_ptr<IniFile> file;
  // Set when the file was not settings text and was kept aside: the text to
  // show the user (the values are then the defaults).
  std::string notice;

  bool IsOpen() const { return file != nullptr; }
};

// What the user is told when a settings file was not settings text and was
// kept aside under another name; "" when it was not.
std::string KeptAsideNotice(const IniFile& file);

// Opens programFolder/VARNOKET.INI, creating it with DefaultProgramSettingsText() when it
// is missing, and reads its values. When the file cannot be created, is no
// regular file (a folder under its name) or cannot be read, `error` (when
// given) receives what is wrong and the result has no file and an empty
// backup root.
ProgramSettings LoadProgramSettings(FileSystem& fs, DriveInfo& drives,
                                    const std::string& programFolder, std::string* error);

// The backup root as it is kept: trimmed, without its trailing separator, and
// empty when it lies on a network share (unless `networkAllowed`) or is a
// Windows share name.
std::string CleanBackupRoot(DriveInfo& drives, const std::string& raw, bool networkAllowed = false);

// Whether a run must treat the store as a network share (its own lock or no
// run): allowed by the settings, and on one now.
bool StoreIsOnNetwork(DriveInfo& drives, const ProgramSettings& settings);

// Every configured store, the first one first (its id as the file on disk
// records it now: a run may have recorded it since the settings were read).
// Empty when no store is configured.
std::vector<StoreEntry> AllStores(FileSystem& fs, const ProgramSettings& settings);
// Makes store `index` of AllStores the one the program works on.
void UseStore(ProgramSettings& settings, size_t index);
// The id recorded for the store the program works on; "" when none is yet.
std::string ActiveStoreId(FileSystem& fs, const ProgramSettings& settings);
// Its name.
std::string ActiveStoreName(const ProgramSettings& settings);

}  // namespace varnoket
