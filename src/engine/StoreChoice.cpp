#include "engine/StoreChoice.h"

#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Translation.h"

namespace varnoket {

StoreCheck CheckStoreEntry(FileSystem& fs, const StoreEntry& store, size_t index,
                           const std::string& station) {
  StoreCheck check =
      CheckStore(fs, StoreLayout(PathRules(PathStyle::kPosix), store.root, station), store.id);
  if (index > 0 && check.state == StoreState::kUnmarked) {
    check.state = StoreState::kAbsent;
    check.message =
        FillText(VK_TR_NOOP("Messages", "Disque de sauvegarde absent (%s)"), {store.root});
  }
  return check;
}

bool StoreUsable(const StoreCheck& check) {
  return check.state == StoreState::kPresent || check.state == StoreState::kUnmarked;
}

bool ChooseStore(FileSystem& fs, ProgramSettings& settings, const std::string& station,
                 const std::string& wanted, std::string& error, const StorePresenceCheck& present) {
  const std::vector<StoreEntry> stores = AllStores(fs, settings);
  if (!wanted.empty()) {
    const auto index = FindStore(stores, wanted);
    if (!index) {
      std::string names;
      for (const StoreEntry& store : stores) names += (names.empty() ? "" : ", ") + store.name;
      error = FillText(VK_TR_NOOP("Messages", "Aucun disque de sauvegarde ne s'appelle %s (%s)."),
                       {wanted, names});
      return false;
    }
    UseStore(settings, *index);
    return true;
  }
  const std::vector<StoreEntry> here = StoresHere(fs, settings, station, present);
  UseStore(settings, here.empty() ? 0 : *FindStore(stores, here.front().name));
  return true;
}

std::vector<StoreEntry> StoresHere(FileSystem& fs, const ProgramSettings& settings,
                                   const std::string& station, const StorePresenceCheck& present) {
  std::vector<StoreEntry> here;
  const std::vector<StoreEntry> stores = AllStores(fs, settings);
  for (size_t i = 0; i < stores.size(); ++i) {
    const bool usable =
        present ? present(stores[i], i) : StoreUsable(CheckStoreEntry(fs, stores[i], i, station));
    if (usable) here.push_back(stores[i]);
  }
  return here;
}

}  // namespace varnoket
