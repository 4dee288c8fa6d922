#include "desktop/PickedFolder.h"

#include "desktop/AutostartEntry.h"

namespace varnoket {

std::string ResolvePickedFolder(FileSystem& fs, const std::string& chosen, Dialogs& dialogs) {
  if (chosen.empty()) return "";
  const auto entry = fs.Stat(chosen);
  if (!entry || !entry->isSymlink) return chosen;
  ResolvedShortcut resolved;
  if (!ResolveShortcut(fs, chosen, resolved, dialogs) || resolved.target.empty()) return chosen;
  return resolved.target;
}

}  // namespace varnoket
