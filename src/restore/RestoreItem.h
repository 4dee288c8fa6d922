// Restores one file of a day's list from the store: finds its stored copy,
// decompresses it beside its destination and puts it in place only once the
// whole stream has been decoded, then gives it its recorded date and
// attributes. A destination that already holds the recorded content and date
// is left as it is. The restore window and the command-line tool both use it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "restore/RecordedContent.h"
#include "restore/RestoreHost.h"

namespace varnoket {

struct RestoreEntry {
  std::string fullPath;    // as the file list records it
  std::string storedName;  // "*" for a directory record
  int32_t attributes = 0;
  int32_t fileDate = 0;
  // The recorded size and checksum, when the list gave them; without them a
  // destination is always written again.
  std::optional<RecordedContent> content = std::nullopt;
};

enum class RestoreStatus { kRestored, kMissingStored, kFolderFailed, kFileFailed };

struct RestoreItemResult {
  RestoreStatus status = RestoreStatus::kFileFailed;
  int64_t bytes = 0;  // bytes the destination holds once restored
};

// Restores `entry` to `destination` (its recorded path, or another place).
// Reports "Fichier-> <path>" and, on failure, one "---> ERREUR: ..." line to
// `host`, whose message pump runs between blocks of the decompression. A
// destination found up to date reports "Fichier-> <path> (déjà à jour)" and
// counts as restored.
RestoreItemResult RestoreItem(FileSystem& fs, const StoreLayout& layout,
                              const std::vector<std::string>& dayFolders, size_t dayIndex,
                              const RestoreEntry& entry, const std::string& destination,
                              RestoreHost& host);

}  // namespace varnoket
