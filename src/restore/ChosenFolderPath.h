// Where the restore window puts an item when the user restores below a
// folder of their choice: each ticked item lands directly in that folder,
// keeping only its own name and what lies below it, so that a file ticked
// in /home/anna/Documents comes back as <folder>/report.odt and not five
// folders deep. The command line keeps the whole recorded path instead.
#pragma once

#include <optional>
#include <string>

#include "platform/PathRules.h"

namespace varnoket {

// `fullPath` (a recorded path) placed below `chosenFolder`, keeping what
// follows `base`, the folder that holds the ticked item. An empty `base`
// (an item at the top of the tree) keeps the whole recorded path.
// nullopt when `fullPath` is not a clean absolute path lying strictly below
// `base`: such a record has no place in the chosen folder.
std::optional<std::string> PathInChosenFolder(const PathRules& rules,
                                              const std::string& chosenFolder,
                                              const std::string& base, const std::string& fullPath);

}  // namespace varnoket
