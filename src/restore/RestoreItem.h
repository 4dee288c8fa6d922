// Restores one file of a day's list from the store: decodes its stored copy
// into a new file beside its destination (runs of zero blocks left as
// holes), proves that the decoded bytes are the recorded size and checksum,
// and only then puts them in place and gives them their recorded date and
// attributes. A copy that is not proven (an
// older content under the same name, damage, a cut) is never written: an
// older day's copy of the name is tried, and failing all, the destination
// stays untouched and the report says why. A destination that already holds
// the recorded content and date is left as it is. The restore window and the
// command-line tool both use it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "platform/WorkerPool.h"
#include "restore/RecordedContent.h"
#include "restore/RestoreHost.h"

namespace varnoket {

struct RestoreEntry {
  std::string fullPath;    // as the file list records it
  std::string storedName;  // "*" for a directory record
  int32_t attributes = 0;
  int32_t fileDate = 0;
  // The recorded size and checksum. Without them nothing can be proven, and
  // nothing is restored.
  std::optional<RecordedContent> content = std::nullopt;
};

enum class RestoreStatus {
  kRestored,
  kMissingStored,       // no day up to the chosen one holds a copy of the name
  kCopyRefused,         // copies found, none proven to be the recorded content
  kFolderFailed,        // the destination's folder could not be made
  kFileFailed,          // the destination could not be written
  kOutsideDestination,  // links would take the file out of the chosen folder
};

struct RestoreItemResult {
  RestoreStatus status = RestoreStatus::kFileFailed;
  int64_t bytes = 0;  // bytes the destination holds once restored
};

// Restores `entry` to `destination` (its recorded path, or another place).
// Reports "Fichier-> <path>" and, on failure, one "---> ERREUR: ..." line to
// `host`, whose message pump runs between blocks of the decompression. A
// destination found up to date reports "Fichier-> <path> (déjà à jour)" and
// counts as restored. With `confinedTo`, the destination's folder must lie
// in that folder once links are resolved, before and after it is made.
// `shownPath`, when given, is the path the lines name instead of the
// recorded one (the file's place when restored elsewhere). A large copy's
// blocks are decoded on `blocks` when it is given.
RestoreItemResult RestoreItem(FileSystem& fs, const StoreLayout& layout,
                              const std::vector<std::string>& dayFolders, size_t dayIndex,
                              const RestoreEntry& entry, const std::string& destination,
                              RestoreHost& host, const std::string& confinedTo = {},
                              const std::string& shownPath = {}, WorkerPool* blocks = nullptr);

}  // namespace varnoket
