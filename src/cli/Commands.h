// The commands of varnoket-cli; each returns the tool's exit code.
#pragma once

#include "cli/CliCommon.h"

namespace varnoket {

int RestoreCommand(const CliOptions& o);
int VersionsCommand(const CliOptions& o);
int FindCommand(const CliOptions& o);
int ChangesCommand(const CliOptions& o);

}  // namespace varnoket
