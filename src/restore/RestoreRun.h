// The restore run over a day's tick tree: walks the tree each node before its
// children, recreates the ticked directories and restores the ticked files
// through RestoreItem on a pool of workers, counting what came back and what
// failed, and stops handing out files once the host says the user has
// aborted. Plain C++, shared by the restore window and any other front end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "restore/RestoreHost.h"
#include "restore/RestoreItem.h"
#include "restore/StateTree.h"

namespace varnoket {

struct RestoreRunContext {
  RestoreRunContext(FileSystem& fileSystem, const StoreLayout& storeLayout,
                    const std::vector<std::string>& days)
      : fs(fileSystem), layout(storeLayout), dayFolders(days) {}

  FileSystem& fs;
  const StoreLayout& layout;
  const std::vector<std::string>& dayFolders;  // the backup days, oldest first
  size_t dayIndex = 0;                         // the chosen day; past the end when none is chosen
  unsigned workers = 0;                        // files decoded at once; 0: one per core
};

struct RestoreRunTotals {
  int32_t restoredCount = 0;  // files restored plus directories created
  int64_t restoredBytes = 0;  // bytes of the files restored
  int32_t errors = 0;         // files and directories that failed
  bool aborted = false;       // the walk stopped because of an abort
};

// Restores what `tree` has ticked. Directories of state 2 are created (and
// counted when they were missing, top-level nodes aside) and all their files
// restored; directories of state 3 give only their ticked files. The tree
// must not change while the run lasts.
// The report, the message pump and the stop request go through `host`, on
// the caller's thread only: each file is decoded on a worker, its report
// lines held back and given in the order of the walk. Directories are made
// on the caller's thread before their files are handed out. Once a stop is
// asked no further file is handed out; those under way end and report.
RestoreRunTotals RunRestore(const StateTree& tree, const RestoreRunContext& ctx, RestoreHost& host);

// The path a directory node stands for: its ancestors' texts and its own,
// joined by the store's separator.
std::string NodePath(const StateTree& tree, StateTree::NodeId node, const PathRules& rules);

}  // namespace varnoket
