// What a run that died leaves in a station folder, and its removal by the
// next run that holds the station lock: temporary files (stored copies
// being written, day lists and settings being replaced) and folders named
// like a day that hold no file list (a run stopped before its list, a merge
// stopped after the older day's list went). Neither is ever read by a
// restore, so removing them loses nothing.
#pragma once

#include <string>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

// The name of a stored copy being written by process `pid` of this machine,
// in the folder of its final name. It never ends in ".ZZ", so no stored name
// can meet it.
std::string PartialCopyName(long pid, size_t index);

// True for a temporary name of this program: a partial copy, or a file being
// replaced (its name followed by ".tmp-" and the writer's process number).
// `pid` receives the writer's process number when the name carries one.
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
