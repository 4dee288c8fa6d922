#include "settings/StoreList.h"

#include <algorithm>

#include "platform/AsciiText.h"
#include "platform/PathRules.h"
#include "settings/KeptDate.h"

namespace varnoket {

bool IsStoreName(const std::string& name) {
  return !name.empty() && name.size() <= kMaxStoreNameLength &&
         std::all_of(name.begin(), name.end(), [](char c) {
           return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  c == '-' || c == '_';
         });
}

bool IsStoreId(const std::string& id) {
  return id.size() == 32 && std::all_of(id.begin(), id.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

std::optional<StoreEntry> ParseStoreLine(const std::string& value) {
  const size_t first = value.find('|');
  if (first == std::string::npos) return std::nullopt;
  const size_t second = value.find('|', first + 1);
  if (second == std::string::npos) return std::nullopt;
  const PathRules posix(PathStyle::kPosix);
  StoreEntry entry;
  entry.name = value.substr(0, first);
  entry.id = value.substr(first + 1, second - first - 1);
  entry.root = posix.RemoveTrailingSeparator(value.substr(second + 1));
  if (!IsStoreName(entry.name) || !IsStoreId(entry.id) ||
      !(entry.root == "/" || posix.IsCleanAbsolutePath(entry.root))) {
    return std::nullopt;
  }
  return entry;
}

std::string StoreLine(const StoreEntry& entry) {
  return entry.name + "|" + entry.id + "|" + entry.root;
}

std::vector<StoreEntry> ReadOtherStores(const IniFile& file, const std::string& firstName,
                                        const std::string& firstId) {
  std::vector<StoreEntry> stores;
  for (const std::string& line : file.SectionLines(kStoresSection)) {
    const size_t equals = line.find('=');
    const auto entry = ParseStoreLine(line.substr(equals + 1));
    if (!entry || stores.size() + 1 >= kMaxStores) continue;
    // A copied disk image carries the id of the disk it was copied from: one
    // id names one store, and a second entry for it would write one store
    // twice under two names.
    const bool taken = EqualsIgnoreCase(entry->name, firstName) || entry->id == firstId ||
                       std::any_of(stores.begin(), stores.end(), [&](const StoreEntry& s) {
                         return EqualsIgnoreCase(s.name, entry->name) || s.id == entry->id;
                       });
    if (!taken) stores.push_back(*entry);
  }
  return stores;
}

void WriteOtherStores(IniFile& file, const std::vector<StoreEntry>& others) {
  std::vector<std::pair<std::string, std::string>> keys;
  for (size_t i = 0; i < others.size(); ++i) {
    keys.emplace_back(kStoreKeyPrefix + std::to_string(i + 2), StoreLine(others[i]));
  }
  file.ReplaceSection(kStoresSection, keys);
}

std::string NextStoreName(const std::vector<StoreEntry>& stores) {
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string name(1, letter);
    if (!FindStore(stores, name)) return name;
  }
  return {};
}

std::optional<size_t> FindStore(const std::vector<StoreEntry>& stores, const std::string& name) {
  for (size_t i = 0; i < stores.size(); ++i) {
    if (EqualsIgnoreCase(stores[i].name, name)) return i;
  }
  return std::nullopt;
}

std::optional<Day> StoreLastSuccess(const IniFile& file, const std::string& id) {
  if (!IsStoreId(id)) return std::nullopt;
  const std::optional<std::string> recorded = file.ReadString(kStoreSuccessSection, id);
  return recorded ? ParseKeptDate(*recorded) : std::nullopt;
}

void RecordStoreSuccess(IniFile& file, const std::string& id, const Day& day) {
  if (!IsStoreId(id)) return;
  file.WriteString(kStoreSuccessSection, id, DayText(day));
}

}  // namespace varnoket
