#include "restore/ChosenFolderPath.h"

namespace varnoket {

std::optional<std::string> PathInChosenFolder(const PathRules& rules,
                                              const std::string& chosenFolder,
                                              const std::string& base,
                                              const std::string& fullPath) {
  if (base.empty()) return chosenFolder + fullPath;
  // A clean path has no "." or ".." that could climb out of the folder once
  // its first names are cut off.
  if (!rules.IsCleanAbsolutePath(fullPath)) return std::nullopt;
  if (!rules.IsSameOrBelow(fullPath, base) || rules.Equal(fullPath, base)) return std::nullopt;
  const std::string prefix = rules.EnsureTrailingSeparator(base);
  if (fullPath.size() <= prefix.size()) return std::nullopt;
  return rules.Join(chosenFolder, fullPath.substr(prefix.size()));
}

}  // namespace varnoket
