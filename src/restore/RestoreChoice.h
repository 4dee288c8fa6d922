// Restores one file of a day's list where the destination may already hold
// another file, as the chosen policy says: replace it, keep it and write the
// restored copy beside it under a name that tells the day, or leave it. A
// missing destination is created and an up-to-date one left alone whatever
// the policy. The copy is always decoded beside its destination and put in
// place only once whole; a kept copy never takes the place of anything.
#pragma once

#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "restore/RestoreHost.h"
#include "restore/RestoreItem.h"
#include "restore/RestorePlan.h"

namespace varnoket {

enum class RestoreOutcome { kCreated, kUpToDate, kReplaced, kKeptBoth, kSkipped, kFailed };

struct RestoreChoiceResult {
  RestoreOutcome outcome = RestoreOutcome::kFailed;
  int64_t bytes = 0;   // bytes of the file restored or found up to date
  std::string keptAs;  // with kKeptBoth: where the restored copy was written
};

// Reports as RestoreItem does, plus one line naming a kept copy and one
// line for a skipped file. `confinedTo`, `shownPath` and `blocks` as for
// RestoreItem.
RestoreChoiceResult RestoreWithChoice(FileSystem& fs, const StoreLayout& layout,
                                      const std::vector<std::string>& dayFolders, size_t dayIndex,
                                      const RestoreEntry& entry, const std::string& destination,
                                      ExistingFilePolicy policy, RestoreHost& host,
                                      const std::string& confinedTo = {},
                                      const std::string& shownPath = {},
                                      WorkerPool* blocks = nullptr);

}  // namespace varnoket
