// What a run that died leaves in a station folder, and its removal by the
// next run that holds the station lock: temporary files (day lists, settings
// and merged copies being replaced) and folders named like a day that hold no
// file list (a run stopped before its list, a merge stopped after the older
// day's list went). Neither is ever read by a restore, so removing them loses
// nothing.
//
// A day folder also holds the user's files, under their stored names, whose
// last component is the user's own file name: so only names that this
// program makes and that no list can record are ever taken for leftovers.
#pragma once

#include <string>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

// True for a temporary name of this program: a file being replaced (its name
// followed by ".tmp-" and the writer's process number, as WriteFileAtomic and
// CopyFile make), or a partial copy of an older version of the program
// (".vk-part-<pid>-<n>", exactly). A name a list can record (every stored
// name ends in ".ZZ"; a directory record is "*") never is. `pid` receives the
// writer's process number.
bool IsTemporaryName(const std::string& name, long* pid = nullptr);

struct CleanupCounts {
  size_t temporaries = 0;
  size_t folders = 0;
};

// Removes every temporary file of the station's day folders and every day-named
// folder without a file list except `keepDay` (today's, which the run is
// about to fill). Station-level temporaries (its settings being replaced)
// are removed only when their writer, a process of this machine, is gone.
// Call only while holding the station lock.
CleanupCounts RemoveLeftovers(FileSystem& fs, const StoreLayout& layout,
                              const std::string& keepDay);

}  // namespace varnoket
