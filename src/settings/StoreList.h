// The stores a station backs up to in turn: the first one is RACINE and
// STOREID, as it always was; the others are the lines of the STOCKAGES
// section, "name|id|root" each. Every store has its own marker, so two disks
// rotated at one mount point are two stores with one root. The machine also
// remembers each store's last successful backup (DERNIERES_SAUVEGARDES, keyed
// by store id), since a disk that is away cannot be asked.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Day.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "settings/SettingsKeys.h"

namespace varnoket {

inline constexpr const char* kStoresSection = "STOCKAGES";
inline constexpr const char* kStoreKeyPrefix = "S";
inline constexpr const char* kStoreSuccessSection = "DERNIERES_SAUVEGARDES";
// The first store's name, shown once there are several. Not written in a
// new file.
inline constexpr TextKey kFirstStoreNameKey{kParamsSection, "NOM_STOCKAGE", "A"};
inline constexpr size_t kMaxStoreNameLength = 20;
inline constexpr size_t kMaxStores = 9;

struct StoreEntry {
  std::string name;
  std::string root;
  std::string id;  // its marker's id; "" for a first store not yet marked
};

// A name a person can type and read: 1 to 20 letters, digits, '-' or '_'.
bool IsStoreName(const std::string& name);
// A marker id as the marker holds it: 32 lower-case hexadecimal digits.
bool IsStoreId(const std::string& id);

// One line of the STOCKAGES section read; nullopt when it is not a valid
// "name|id|root" (a root that is not absolute included).
std::optional<StoreEntry> ParseStoreLine(const std::string& value);
std::string StoreLine(const StoreEntry& entry);

// The stores after the first, as the file lists them: an invalid line, or
// one whose name or id an earlier store already has, is left out.
std::vector<StoreEntry> ReadOtherStores(const IniFile& file, const std::string& firstName,
                                        const std::string& firstId);
// Rewrites the STOCKAGES section in one write (removed when `others` is
// empty); throws IniError.
void WriteOtherStores(IniFile& file, const std::vector<StoreEntry>& others);

// The first letter from A to Z that no store is named; "" when all are.
std::string NextStoreName(const std::vector<StoreEntry>& stores);
// The store of that name (names compare without regard to ASCII case).
std::optional<size_t> FindStore(const std::vector<StoreEntry>& stores, const std::string& name);

// The day of the store's last successful backup as this machine recorded it
// ("dd/mm/yyyy", read as the station file's date is); nullopt when none is
// or the record is no date.
std::optional<Day> StoreLastSuccess(const IniFile& file, const std::string& id);
// Records it; throws IniError.
void RecordStoreSuccess(IniFile& file, const std::string& id, const Day& day);

}  // namespace varnoket
