#include "restore/RestorePlan.h"

#include "engine/FileRecord.h"

namespace varnoket {

std::optional<ExistingFilePolicy> ParseExistingFilePolicy(std::string_view word) {
  if (word == "replace") return ExistingFilePolicy::kReplace;
  if (word == "keep-both") return ExistingFilePolicy::kKeepBoth;
  if (word == "skip") return ExistingFilePolicy::kSkip;
  return std::nullopt;
}

DestinationCheck CheckDestination(FileSystem& fs, const RestoreEntry& entry,
                                  const std::string& destination) {
  DestinationCheck check;
  // Stat sees a link that leads nowhere too: it is something a restore would
  // replace.
  if (!fs.Stat(destination)) return check;
  if (entry.content) {
    if (const auto size = SizeWhenUpToDate(fs, destination, *entry.content, entry.fileDate)) {
      check.state = DestinationState::kUpToDate;
      check.upToDateSize = *size;
      return check;
    }
  }
  check.state = DestinationState::kDifferent;
  return check;
}

RestorePlan PlanRestore(FileSystem& fs, const std::vector<PlannedFile>& files) {
  RestorePlan plan;
  for (const PlannedFile& f : files) {
    if (f.entry.storedName == kDirectoryStoredName) continue;
    switch (CheckDestination(fs, f.entry, f.destination).state) {
      case DestinationState::kMissing:
        ++plan.created;
        break;
      case DestinationState::kUpToDate:
        ++plan.upToDate;
        break;
      case DestinationState::kDifferent:
        ++plan.different;
        break;
    }
  }
  return plan;
}

}  // namespace varnoket
