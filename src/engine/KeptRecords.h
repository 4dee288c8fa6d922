// A folder that vanished is not a deletion. A listed folder that is empty
// today, or that lies on another file system than at its previous run (its
// disk is not mounted, its share not connected), while the previous day
// recorded something below it, keeps the previous day's records below it:
// nothing of it expires with the days kept, and the run says so. A folder
// that could not be listed keeps them the same way. Removing a folder from
// the backup set stays the way to stop saving it.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/BackupContext.h"
#include "engine/DaySet.h"
#include "engine/SourceScan.h"

namespace varnoket {

// The listed folders (in the form the walk gave them) that vanished, each
// logged and counted; `previousSet` is the set of the day the previous list
// was read from.
std::vector<std::string> VanishedFolders(BackupContext& ctx, const std::vector<std::string>& listed,
                                         const DaySet& previousSet);

// Drops what the walk found below `folders`: the day takes their previous
// records instead.
void DropBelow(const PathRules& rules, const std::vector<std::string>& folders,
               std::deque<ScannedFile>& files, std::vector<FileRecord>& directoryRecords);

// Appends to `records` the previous list's records below `folders`, and to
// `carried` its lines there that are no record a restore would take.
void KeepPreviousRecords(const PathRules& rules, const std::vector<std::string>& folders,
                         const std::vector<std::string>& previousList,
                         std::vector<FileRecord>& records, std::vector<std::string>& carried);

}  // namespace varnoket
