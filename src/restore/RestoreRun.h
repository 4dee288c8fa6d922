// The restore run over a day's tick tree: walks the tree each node before its
// children, recreates the ticked directories and restores the ticked files
// through the one restore execution, in place or below another folder, under
// the chosen policy for files that differ at their destination; stops
// handing out files once the host says the user has aborted. Plain C++,
// shared by the restore window and any other front end.
#pragma once

#include <string>
#include <vector>

#include "restore/CheckedList.h"
#include "restore/RestoreExecution.h"
#include "restore/StateTree.h"

namespace varnoket {

// Restores what `tree` has ticked. Directories of state 2 are created (and
// counted when they were missing, top-level nodes aside) and all their files
// restored, those the list records getting their date and mode at the end;
// directories of state 3 give only their ticked files. The lines of the
// day's list that gave nothing (`unreadable`) are failures of the run when
// their path lies in a ticked directory, or names no place. The tree must
// not change while the run lasts. Once a stop is asked no further file is
// handed out; those under way end and report. Each item goes where
// TickedDestinations says.
RestoreRunTotals RunRestore(const StateTree& tree, const RestoreRunContext& ctx, RestoreHost& host,
                            const std::vector<UnreadableLine>& unreadable = {});

// The files a run of `tree` would restore, with their destinations, in the
// order of the walk.
std::vector<PlannedFile> TickedFiles(const StateTree& tree, const RestoreRunContext& ctx);

// The path a directory node stands for: its ancestors' texts and its own,
// joined by the store's separator.
std::string NodePath(const StateTree& tree, StateTree::NodeId node, const PathRules& rules);

}  // namespace varnoket
