// The station settings file, <root>/<station>/<station>.ini: the backup set
// (directories and exclusion filters), the date of the last backup and the
// restore options, with the rules that load and save them.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Day.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/PathRules.h"
#include "settings/CommaText.h"
#include "settings/KeptDate.h"
#include "settings/SettingsKeys.h"

namespace varnoket {

// The date a station file gets when it is created, and the date used when the
// recorded one is missing or not a date: as written, and as a day.
inline constexpr const char* kNoBackupDate = kLastBackupKey.fallback;
inline constexpr Day kNoBackupDay{31, 12, 2002};

struct StationSettings {
  std::string path;               // StationSettingsPath
  std::unique_ptr<IniFile> file;  // StationSettings, open once loaded
  // LastBackupDate: kNoBackupDay when the file has none or no date;
  // nullopt until the file is loaded.
  std::optional<Day> lastBackupDate;
  // The directory list as the main window's sorted list box holds it.
  std::vector<std::string> directories;
  // BackupDirectories, the copy the backup run reads.
  std::vector<std::string> backupDirectories;
  // Exclusion filters, in the sorted order of their list box.
  std::vector<std::string> exclusions = FromCommaText(kExclusionsKey.fallback);
  // MAXFILESIZE: files above this many megabytes are left out; 0 keeps all.
  int maxFileMegabytes = kMaxFileSizeKey.fallback;
  // DOSSIERS_CACHES: the walk enters hidden folders.
  bool includeHidden = kIncludeHiddenKey.fallback != 0;
  // ENSEMBLE_VERSION: how many times the set was saved, counted once the
  // file holds the key (a station backed up to several disks); a file of a
  // single disk never gets it.
  int setVersion = kSetVersionKey.fallback;
  bool countsSaves = false;
  // RESTORE_DIR / RESTORE_VIA_FTP as read, for the restore window.
  std::vector<std::pair<std::string, std::string>> restoreOptions;
};

// root/station/station.ini
std::string StationSettingsPath(const PathRules& rules, const std::string& root,
                                const std::string& station);

// Creates the file at `path` when it does not exist yet (with its folders and
// LASTBACKUP=31/12/2002), making it the open file, but only below a root that
// carries the store's marker. True when the file existed or was created;
// false, without a word, when the root is not marked; otherwise shows the
// error box and returns false.
bool EnsureStationSettings(FileSystem& fs, Dialogs& dialogs, StationSettings& settings,
                           const std::string& path, const std::string& root);

// Opens (or creates, below a marked root) the station file and reads the last
// backup date (kNoBackupDay when it is no date), the exclusions, the restore
// options and the directories. False when the file could neither be found
// nor created; nothing is read then.
bool LoadStationSettings(FileSystem& fs, Dialogs& dialogs, StationSettings& settings,
                         const std::string& root, const std::string& station,
                         const PathRules& rules);

// Saves the backup set: the directories as D1..Dn and the exclusions. Shows
// the error box and returns false when the file cannot be written; does
// nothing (and succeeds) when no file is open.
bool SaveBackupSet(Dialogs& dialogs, StationSettings& settings);

// Writes PARAMS/DOSSIERS_CACHES (and keeps it in includeHidden); throws
// IniError when it cannot be written or when no file is open.
void WriteIncludeHidden(StationSettings& settings, bool include);

// How recent a set is among the copies of one station's set on several
// disks: its save count, and -1 for a set never saved that holds no folder
// (the file a new disk gets), which never wins over a real one.
int SetRank(const StationSettings& set);
// Whether two sets back up the same folders the same way.
bool SameBackupSet(const StationSettings& a, const StationSettings& b);
// Makes the file count the saves of its set from now on (writes the key);
// throws IniError.
void CountSetSaves(StationSettings& settings);
// Writes `from`'s set (directories, exclusions, hidden folders, size limit
// and its save count) into `to`'s file and memory, in as few writes as the
// keys allow. Throws IniError when `to` has no file or cannot be written.
void CopyBackupSet(const StationSettings& from, StationSettings& to);

// Writes PARAMS/LASTBACKUP (and keeps it in lastBackupDate); throws IniError
// when it cannot be written or when no file is open.
void WriteLastBackup(StationSettings& settings, const Day& date);

// The index of the first entry that really is the root or holds it: on whole
// names after links are resolved, or as another name of one of the root's
// folders (a bind mount). "/Doc" does not hold "/Documents/Sauvegardes".
// -1 when none.
int FindRootAncestor(FileSystem& fs, const std::vector<std::string>& directories,
                     const std::string& root);

// Orders a list as a sorted list box does: without regard to ASCII case,
// equal entries kept in their order.
void SortAsDisplayed(std::vector<std::string>& items);

}  // namespace varnoket
