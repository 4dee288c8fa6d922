#include "settings/StoreInBackedUpFolder.h"

#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "settings/StationSettings.h"

namespace varnoket {

std::string BackedUpFolderHolding(FileSystem& fs, Dialogs& dialogs, const std::string& root,
                                  const std::string& station, const std::string& candidate) {
  if (root.empty() || station.empty()) return {};
  const PathRules rules(PathStyle::kPosix);
  // Only an existing set is read: loading would create one below a marked root.
  if (!fs.Exists(StationSettingsPath(rules, root, station))) return {};
  StationSettings set;
  if (!LoadStationSettings(fs, dialogs, set, root, station, rules)) return {};
  const int at = FindRootAncestor(fs, set.directories, candidate);
  return at < 0 ? std::string() : set.directories[static_cast<size_t>(at)];
}

std::string StoreInBackedUpFolderRefusal(FileSystem& fs, Dialogs& dialogs,
                                         const std::string& currentRoot, const std::string& station,
                                         const std::string& choice) {
  for (const std::string& root : {currentRoot, choice}) {
    const std::string holder = BackedUpFolderHolding(fs, dialogs, root, station, choice);
    if (!holder.empty()) return FillText(kStoreInBackedUpFolder, {holder, choice});
  }
  return {};
}

}  // namespace varnoket
