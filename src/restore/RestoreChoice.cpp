#include "restore/RestoreChoice.h"

#include <atomic>
#include <cerrno>

#include "platform/MachineIdentity.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "restore/KeptCopyName.h"
#include "restore/RestoreFailureText.h"

namespace varnoket {

namespace {

// Beyond this many taken names something is wrong with the folder.
constexpr int kMaxKeptCopyAttempts = 10000;

// A name beside the destination that nothing stands under, for the copy on
// its way to its kept name.
std::string KeepTempName(FileSystem& fs, const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  for (;;) {
    std::string name = folder + ".vk-restore-keep-" + std::to_string(ThisProcessId()) + "-" +
                       std::to_string(++counter);
    if (!fs.Stat(name)) return name;
  }
}

// Gives the whole restored file at `temp` the first free kept-copy name.
// A second name (a hard link) is made only where nothing stands, so nothing
// is ever replaced; where links are not supported the file is renamed to a
// name found free just before.
// On failure, `tried` and `error` say where and why.
std::string PlaceKeptCopy(FileSystem& fs, const PathRules& rules, const std::string& temp,
                          const std::string& destination, const std::string& dayFolder,
                          std::string& tried, int& error) {
  const std::string folder = rules.ParentWithSeparator(destination);
  const std::string name = rules.FileName(destination);
  error = 0;
  for (int attempt = 1; attempt <= kMaxKeptCopyAttempts; ++attempt) {
    const std::string candidate = folder + KeptCopyName(name, dayFolder, attempt);
    tried = candidate;
    if (fs.Stat(candidate)) continue;
    if (fs.LinkFile(temp, candidate)) {
      fs.DeleteFile(temp);
      return candidate;
    }
    if (fs.Stat(candidate)) continue;  // taken in the meantime
    const FsStatus renamed = fs.Rename(temp, candidate);
    if (renamed) return candidate;
    error = renamed.systemError();
    break;
  }
  return {};
}

}  // namespace

RestoreChoiceResult RestoreWithChoice(FileSystem& fs, const StoreLayout& layout,
                                      const std::vector<std::string>& dayFolders, size_t dayIndex,
                                      const RestoreEntry& entry, const std::string& destination,
                                      ExistingFilePolicy policy, RestoreHost& host,
                                      const std::string& confinedTo, const std::string& shownPath,
                                      WorkerPool* blocks) {
  RestoreChoiceResult result;
  const std::string& shown = shownPath.empty() ? entry.fullPath : shownPath;
  const DestinationCheck check = CheckDestination(fs, entry, destination);
  if (check.state == DestinationState::kUpToDate) {
    host.Report(FillText(VK_TR_NOOP("Messages", "Fichier-> %s (déjà à jour)"), {shown}));
    result.outcome = RestoreOutcome::kUpToDate;
    result.bytes = check.upToDateSize;
    return result;
  }
  if (check.state == DestinationState::kMissing || policy == ExistingFilePolicy::kReplace) {
    const RestoreItemResult r = RestoreItem(fs, layout, dayFolders, dayIndex, entry, destination,
                                            host, confinedTo, shownPath, blocks);
    if (r.status == RestoreStatus::kRestored) {
      result.outcome = check.state == DestinationState::kMissing ? RestoreOutcome::kCreated
                                                                 : RestoreOutcome::kReplaced;
      result.bytes = r.bytes;
    }
    return result;
  }
  if (policy == ExistingFilePolicy::kSkip) {
    host.Report(FillText(VK_TR_NOOP("Messages",
                                    "Fichier-> %s (ignoré : un fichier différent "
                                    "existe déjà à cet endroit)"),
                         {shown}));
    result.outcome = RestoreOutcome::kSkipped;
    return result;
  }

  // Keep both: the copy is restored whole under a temporary name beside the
  // destination, with its date and mode, then given its kept-copy name.
  const PathRules& rules = layout.rules();
  const std::string temp = KeepTempName(fs, rules.ParentWithSeparator(destination));
  const RestoreItemResult r =
      RestoreItem(fs, layout, dayFolders, dayIndex, entry, temp, host, confinedTo, shown, blocks);
  if (r.status != RestoreStatus::kRestored) {
    fs.DeleteFile(temp);
    return result;
  }
  std::string tried;
  int error = 0;
  result.keptAs = PlaceKeptCopy(fs, rules, temp, destination, dayFolders[dayIndex], tried, error);
  if (result.keptAs.empty()) {
    fs.DeleteFile(temp);
    host.Report(FillText(VK_TR_NOOP("Messages",
                                    "---> ERREUR: Impossible de recréer le fichier "
                                    "(%s) à côté du fichier existant ! <---"),
                         {shown}));
    if (error != 0) host.Report(FileWriteFailedLine(tried, error));
    return result;
  }
  host.Report(
      FillText(VK_TR_NOOP("Messages", "     copie restaurée à côté du fichier existant : %s"),
               {result.keptAs}));
  result.outcome = RestoreOutcome::kKeptBoth;
  result.bytes = r.bytes;
  return result;
}

}  // namespace varnoket
