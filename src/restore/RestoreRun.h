// The restore run over a day's tick tree: walks the tree each node before its
// children, recreates the ticked directories and restores the ticked files
// on a pool of workers, in place or below another folder, under the chosen
// policy for files that differ at their destination; counts what came back,
// what was left and what failed, and stops handing out files once the host
// says the user has aborted. Plain C++, shared by the restore window and any
// other front end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "restore/RestoreHost.h"
#include "restore/RestoreItem.h"
#include "restore/RestorePlan.h"
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
  // Where a different file stands at a destination.
  ExistingFilePolicy policy = ExistingFilePolicy::kReplace;
  // "" restores each item at its recorded path; otherwise at this folder
  // followed by the recorded path.
  std::string destinationRoot;
};

struct RestoreRunTotals {
  int32_t restoredCount = 0;  // files restored plus directories created
  int64_t restoredBytes = 0;  // bytes of the files restored
  int32_t errors = 0;         // files and directories that failed
  bool aborted = false;       // the walk stopped because of an abort
  // The files by what their destination met (restoredCount counts all but
  // the skipped ones).
  int32_t created = 0;
  int32_t upToDate = 0;
  int32_t replaced = 0;
  int32_t keptBoth = 0;
  int32_t skipped = 0;

  int32_t FilesRestored() const { return created + upToDate + replaced + keptBoth; }
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

// Where an item recorded at `fullPath` is restored under `ctx`.
std::string RestoreDestination(const RestoreRunContext& ctx, const std::string& fullPath);

// The files a run of `tree` would restore, with their destinations, in the
// order of the walk.
std::vector<PlannedFile> TickedFiles(const StateTree& tree, const RestoreRunContext& ctx);

// The path a directory node stands for: its ancestors' texts and its own,
// joined by the store's separator.
std::string NodePath(const StateTree& tree, StateTree::NodeId node, const PathRules& rules);

}  // namespace varnoket
