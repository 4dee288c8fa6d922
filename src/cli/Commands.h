// The commands of varnoket-cli; each returns the tool's exit code.
#pragma once

#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "platform/FileSystem.h"
#include "settings/ProgramSettings.h"

namespace varnoket {

int RestoreCommand(const CliOptions& o);
int VersionsCommand(const CliOptions& o);
int FindCommand(const CliOptions& o);
int ChangesCommand(const CliOptions& o);
int ConfigCommand(const CliOptions& o);
// `config store add|remove|list ...`, on the loaded program settings.
int StoreListCommand(const CliOptions& o, FileSystem& fs, ProgramSettings& settings);
// Why `choice` cannot be a store beside `stores` (one inside the other);
// "" when it can. One mount point for two disks in turn is no nesting.
std::string NestingRefusal(FileSystem& fs, const std::vector<StoreEntry>& stores,
                           const std::string& choice);
int AddCommand(const CliOptions& o);
int RemoveCommand(const CliOptions& o);
int ExcludeCommand(const CliOptions& o);
int IncludeCommand(const CliOptions& o);
int HiddenFoldersCommand(const CliOptions& o);
// The backup set's hidden-folders setting, as `status` and the set commands show it.
std::string HiddenFoldersLine(bool included);
int StatusCommand(const CliOptions& o);
int VerifyCommand(const CliOptions& o);

}  // namespace varnoket
