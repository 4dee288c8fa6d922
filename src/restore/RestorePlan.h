// What a restore would do at each destination, learnt before anything is
// written: create a missing file, leave alone a file that already holds the
// recorded content and date, or meet a different file there, which the
// chosen policy then replaces, keeps beside the restored copy, or leaves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "restore/RestoreItem.h"

namespace varnoket {

// What to do where a destination holds a file other than the recorded one.
enum class ExistingFilePolicy {
  kReplace,   // the restored copy takes its place
  kKeepBoth,  // the restored copy is written beside it under another name
  kSkip,      // the file is left as it is and the record is not restored
};

// "replace", "keep-both" or "skip"; nullopt for any other word.
std::optional<ExistingFilePolicy> ParseExistingFilePolicy(std::string_view word);

enum class DestinationState {
  kMissing,    // nothing there: the restore creates it
  kUpToDate,   // a regular file with the recorded size, checksum and date
  kDifferent,  // anything else: another file, a folder, a link
};

// Where the state of one destination stands, and the size of an up-to-date
// file. A record without a recorded content never finds its file up to date.
struct DestinationCheck {
  DestinationState state = DestinationState::kMissing;
  int64_t upToDateSize = 0;
};
DestinationCheck CheckDestination(FileSystem& fs, const RestoreEntry& entry,
                                  const std::string& destination);

struct PlannedFile {
  RestoreEntry entry;
  std::string destination;
};

struct RestorePlan {
  size_t created = 0;
  size_t upToDate = 0;
  size_t different = 0;  // the files a replace would replace
};

// Counts what a restore of `files` would meet, without changing anything on
// the disk. Folder records are not counted.
RestorePlan PlanRestore(FileSystem& fs, const std::vector<PlannedFile>& files);

}  // namespace varnoket
