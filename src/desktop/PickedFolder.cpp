#include "desktop/PickedFolder.h"

#include <filesystem>

#include "desktop/AutostartEntry.h"

namespace varnoket {

std::string ResolvePickedFolder(const std::string& chosen, Dialogs& dialogs) {
  if (chosen.empty()) return "";
  std::error_code ec;
  if (!std::filesystem::is_symlink(std::filesystem::symlink_status(chosen, ec))) return chosen;
  ResolvedShortcut resolved;
  if (!ResolveShortcut(chosen, resolved, dialogs) || resolved.target.empty()) return chosen;
  return resolved.target;
}

}  // namespace varnoket
