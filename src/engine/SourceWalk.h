// The walk of the backup set that opens every scan: it lists the files to
// read (their size as the folder listing gave it, in digest.size, until they
// are read) and the records of the empty folders, and names every entry it
// leaves out, by cause (LeftOut.h): a folder it cannot list is not an empty
// folder, a link that leads nowhere, a pipe or a socket is not silently
// passed over, a hidden folder is walked or left out as the backup set says.
#pragma once

#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/BackupContext.h"
#include "engine/FolderListingsAhead.h"
#include "engine/SourceScan.h"
#include "platform/PathContainment.h"

namespace varnoket {

struct SourceWalk {
  BackupContext& ctx;
  std::deque<ScannedFile>& files;
  std::vector<FileRecord> directoryRecords;
  // The store's folder when it exists: never walked, whatever name (a bind
  // mount, a listed link) reaches it.
  std::optional<FolderId> store;
  // Every folder walked so far. A folder met again (a bind mount that loops
  // back up the tree, a second name of a folder already saved) is not
  // walked twice.
  std::set<FolderId> walked;
  // Folders that could not be listed: the day keeps what the previous day
  // recorded below them, as an unreadable file keeps its previous record.
  std::vector<std::string> unreadableFolders;
  // The listings of the folders the walk enters next, made on the workers.
  FolderListingsAhead& ahead;
};

// Walks `directory` (the folder `id` names) and everything below it.
void WalkFolder(SourceWalk& walk, const std::string& directory, const FolderId& id);

// A name a file list can hold: no "|" and no control byte. A restore refuses
// a recorded path that holds a control byte (a list is outside input, and
// such bytes can hide what a name is), so no such name is recorded at all.
bool RecordableName(std::string_view name);

}  // namespace varnoket
