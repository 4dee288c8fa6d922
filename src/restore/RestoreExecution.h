// The one way every restore runs, whatever chose its items: the restore
// window walks its tick tree, the command line walks a day's checked list,
// and both hand the items in order to this. Folders are made on the
// caller's thread, and those the list records get their date and mode once
// the run is over (FolderDates); each file is decoded and proven on a
// worker (RestoreItem) under the chosen policy for a destination that holds
// another file; the lines a list gave nothing for are counted as failures;
// every report line reaches the host on the caller's thread in the order of
// the items; and the counts say what came back, what was left and what
// failed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "restore/CheckedList.h"
#include "restore/FolderDates.h"
#include "restore/OrderedJobs.h"
#include "restore/RecordedFolder.h"
#include "restore/RestoreChoice.h"
#include "restore/RestoreHost.h"
#include "restore/RestoreItem.h"
#include "restore/RestorePlan.h"

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
  // followed by the recorded path, and never outside it, links resolved.
  std::string destinationRoot;
  // With a destination root, a tick tree's run puts each ticked item
  // directly in it (ChosenFolderPath) instead of below its whole recorded
  // path; the report then names each file's destination.
  bool tickedItemsAtTop = false;
};

struct RestoreRunTotals {
  int32_t restoredCount = 0;  // files restored plus directories created
  int64_t restoredBytes = 0;  // bytes of the files restored
  int32_t errors = 0;         // files, directories and list lines that failed
  bool aborted = false;       // the walk stopped because of an abort
  // The files by what their destination met (restoredCount counts all but
  // the skipped ones).
  int32_t created = 0;
  int32_t upToDate = 0;
  int32_t replaced = 0;
  int32_t keptBoth = 0;
  int32_t skipped = 0;
  int32_t unreadableLines = 0;  // lines of the list that gave nothing (in errors too)

  int32_t FilesRestored() const { return created + upToDate + replaced + keptBoth; }
};

// Where an item recorded at `fullPath` is restored under `ctx`.
std::string RestoreDestination(const RestoreRunContext& ctx, const std::string& fullPath);

class RestoreExecution {
 public:
  // `host` is called from the caller's thread only.
  RestoreExecution(const RestoreRunContext& ctx, RestoreHost& host);

  // False once the host asks to stop.
  bool Running() const { return !host_.StopRequested(); }

  // Makes the folder at `destination` when it is missing (counted when
  // `counted`). `shownPath`, when given, is reported first ("Répertoire->").
  // A folder the list records (`recorded`) gets the recorded date and mode
  // when the run ends, if the run made it or the policy is to replace what
  // stands; a folder that was already there otherwise keeps its own.
  void Folder(const std::string& destination, bool counted, const std::string& shownPath = {},
              const std::optional<RecordedFolder>& recorded = std::nullopt);
  // Restores one file at its destination under the context's policy;
  // `done` (when given) runs on the caller's thread once it is counted.
  // `destination`, when given, is where the file goes instead of the
  // context's place for it, and the path the report names.
  void File(RestoreEntry entry, std::function<void()> done = {},
            std::optional<std::string> destination = std::nullopt);
  // An item that cannot be restored at all: `line` is reported in its turn
  // and the item counted as a failure.
  void Failed(const std::string& line);
  // A line of the day's list that gave nothing to restore: a failure.
  void Unreadable(const UnreadableLine& line);

  // Waits for the files under way, gives the recorded folders their dates
  // and modes, and gives the counts.
  RestoreRunTotals Finish();

 private:
  void Count(const RestoreChoiceResult& r);

  const RestoreRunContext& ctx_;
  RestoreHost& host_;
  RestoreRunTotals totals_;
  FolderDates folderDates_;
  WorkerPool blocks_;  // decodes the blocks of large copies
  // Last, so that the work in flight ends before the rest goes.
  OrderedJobs jobs_;
};

// The report line of an unreadable list line.
std::string UnreadableLineText(const UnreadableLine& line);

}  // namespace varnoket
