// Every key of the two settings files, declared once: its section, its name,
// its default and, for a number, the range a person may enter and the floor
// a value is raised to. Loading, saving, the default program settings file
// and the configuration dialog all take their keys from here, so a key's
// spelling, default and limits cannot drift apart. docs/store-format.md
// describes the same keys.
#pragma once

#include <limits>
#include <string>

#include "platform/IniFile.h"

namespace varnoket {

struct TextKey {
  const char* section;
  const char* name;
  const char* fallback;  // the value when the key is absent
};

struct NumberKey {
  const char* section;
  const char* name;
  int fallback;  // the value when the key is absent or not a whole number
  int low;       // the range a person may enter
  int high;
  int floor;  // a value read or entered below it becomes it
};

inline constexpr int kNoFloor = std::numeric_limits<int>::min();

inline constexpr const char* kParamsSection = "PARAMS";

// The program settings file, VARNOKET.INI.
inline constexpr TextKey kBackupRootKey{kParamsSection, "RACINE", ""};
inline constexpr NumberKey kPreferredHourKey{kParamsSection, "HEURE", 13, 0, 23, kNoFloor};
inline constexpr NumberKey kPreferredMinuteKey{kParamsSection, "MINUTE", 0, 0, 59, kNoFloor};
// Consolidation merges the two oldest days, so fewer than two cannot work; a
// file may hold more than a person may enter, and that is kept.
inline constexpr NumberKey kDaysKeptKey{kParamsSection, "MAXSAVE", 30, 2, 120, 2};
// How many threads read the backup set and compress and check a run's
// copies: 0 (the default, not written in a new file) uses every core; a
// number caps it.
inline constexpr NumberKey kWorkersKey{kParamsSection, "WORKERS", 0, 0, 1024, 0};
// After how many days without a successful backup the program warns (the
// tray's warning picture and a daily notification). Not written in a new
// file; a value that is not a number reads as the default.
inline constexpr NumberKey kAlertDaysKey{kParamsSection, "ALERTE", 3, 1, 365, 1};
// The id of the store's marker (VARNOKET.STORE at the root), recorded when
// the store is configured or first found by a run: a root whose marker holds
// another id is another disk, and nothing is written there. "" until then.
inline constexpr TextKey kStoreIdKey{kParamsSection, "STOREID", ""};
// Laptops. A scheduled run waits for the charger while on battery below this
// charge, in percent (0: never waits); and starts this many minutes after
// the machine wakes when one is due. Neither is written in a new file.
inline constexpr NumberKey kMinimumBatteryKey{kParamsSection, "BATTERIE_MIN", 30, 0, 100, 0};
inline constexpr NumberKey kWakeDelayKey{kParamsSection, "DELAI_REVEIL", 2, 0, 120, 0};
// 1 lets the store be on a network file system (NFS, SMB, ...): a run then
// writes there only under the store's own lock, and refuses a share that
// takes none. 0 (the default, not written in a new file): a store on the
// network is dropped when the settings are loaded and refused when chosen.
inline constexpr NumberKey kNetworkStoreKey{kParamsSection, "STOCKAGE_RESEAU", 0, 0, 1, 0};
// Old copies are decoded in rotation after each run, so that each one is
// decoded again about once in this many days; 0 never. Not written in a new
// file.
inline constexpr NumberKey kRotationDaysKey{kParamsSection, "VERIF_JOURS", 30, 0, 365, 0};
// Commands run through /bin/sh before and after each backup run, and the
// minutes each may take before it is ended. Only this file holds them: the
// station's file is on the store, which must not run commands on a machine.
// None is written in a new file.
inline constexpr TextKey kBeforeCommandKey{kParamsSection, "COMMANDE_AVANT", ""};
inline constexpr TextKey kAfterCommandKey{kParamsSection, "COMMANDE_APRES", ""};
inline constexpr NumberKey kBeforeMinutesKey{kParamsSection, "DELAI_AVANT", 10, 1, 1440, 1};
inline constexpr NumberKey kAfterMinutesKey{kParamsSection, "DELAI_APRES", 10, 1, 1440, 1};

// The station settings file, <station>.ini. Its PARAMS keys are matched on
// the start of the line (see LoadStationSettings).
inline constexpr TextKey kLastBackupKey{kParamsSection, "LASTBACKUP", "31/12/2002"};
// Comma text; the default stands for a key that is absent, while an empty
// value means no filter.
inline constexpr TextKey kExclusionsKey{kParamsSection, "EXCLUSIONS",
                                        "*.mp3,*.mpeg,*.mpg,PageFile.sys"};
// Read and kept for the restore window; nothing writes them.
inline constexpr TextKey kRestoreDirKey{kParamsSection, "RESTORE_DIR", ""};
inline constexpr TextKey kRestoreViaFtpKey{kParamsSection, "RESTORE_VIA_FTP", ""};
// Files larger than this many megabytes are left out of the backup; 0 (the
// default, not written in a new file) keeps every size.
inline constexpr NumberKey kMaxFileSizeKey{kParamsSection, "MAXFILESIZE", 0, 0, 1048576, 0};
// Whether the walk enters hidden folders (names starting with "."), where
// Linux keeps mail, keys and application data: 1 yes, 0 no. A new station
// file says 1; a file without the key (a set made before it existed) keeps
// leaving them out, counted at each run, until the person says otherwise.
inline constexpr NumberKey kIncludeHiddenKey{kParamsSection, "DOSSIERS_CACHES", 0, 0, 1, 0};
inline constexpr int kIncludeHiddenForNewSets = 1;
// Counts the saves of the backup set (directories, exclusions, hidden
// folders): a station backed up to several disks in turn takes the set with
// the highest count among the disks present, so an edit made while one disk
// was plugged in reaches the others. Absent: 0.
inline constexpr NumberKey kSetVersionKey{
    kParamsSection, "ENSEMBLE_VERSION", 0, 0, std::numeric_limits<int>::max(), 0};
// The directories to back up: the whole section, written as D1..Dn; the key
// names are not interpreted on reading.
inline constexpr const char* kDirectoriesSection = "DIRECTORIES";
inline constexpr const char* kDirectoryKeyPrefix = "D";

// The program settings file written when none exists: the PARAMS section
// with each key at its default, CR LF line ends.
const std::string& DefaultProgramSettingsText();

// The value as written; the key's default when absent.
std::string ReadKey(const IniFile& file, const TextKey& key);
// The value read as a whole number (the default when absent or not one),
// raised to the key's floor.
int ReadKey(const IniFile& file, const NumberKey& key);
// Writes the key's value as given; throws IniError as IniFile::WriteString.
void WriteKey(IniFile& file, const TextKey& key, const std::string& value);
void WriteKey(IniFile& file, const NumberKey& key, const std::string& value);

// The value raised to the key's floor.
int RaiseToFloor(const NumberKey& key, int value);

}  // namespace varnoket
