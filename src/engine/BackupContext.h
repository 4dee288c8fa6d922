// Everything a backup run works with: the store, the settings it reads, the
// host it reports to, and the three record lists it leaves behind for the
// next run and for tests.
#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/BackupHost.h"
#include "engine/FileRecord.h"
#include "engine/LeftOut.h"
#include "engine/StoreLayout.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/MachineIdentity.h"
#include "settings/RunCommandSettings.h"
#include "settings/StationSettings.h"

namespace varnoket {

// Thrown from inside a run (through Pump) when the program must end; the run
// catches it, leaves the store as a stopped run leaves it and says so.
class RunStopped : public std::exception {
 public:
  const char* what() const noexcept override { return "run stopped"; }
};

struct BackupContext {
  BackupContext(FileSystem& fileSystem, const Clock& clockRef, BackupHost& hostRef,
                Dialogs& dialogsRef, StationSettings& stationRef)
      : fs(fileSystem),
        clock(clockRef),
        host(hostRef),
        dialogs(dialogsRef),
        station(stationRef),
        machine(ThisMachine(fileSystem)) {}

  FileSystem& fs;
  const Clock& clock;
  BackupHost& host;
  Dialogs& dialogs;
  StationSettings& station;  // LastBackupDate, BackupDirectories, exclusions

  PathRules rules{PathStyle::kPosix};
  std::string backupRoot;
  std::string stationName;
  int daysKept = kDaysKeptKey.fallback;
  bool masterStation = true;
  // Who writes: recorded beside the station's files, and in the names of the
  // run's temporary files.
  MachineIdentity machine;
  // The user chose to back up again today: today's list is removed (under
  // the station lock) before the scan, so every file is compared afresh.
  bool redoToday = false;
  // Why the run did not start when it returns kStoreAbsent, kBusy,
  // kForeignStation, kNoSpace or kFailed before taking the station lock; ""
  // otherwise.
  std::string refusal;
  // The program settings file that records the store's id (STOREID): a root
  // whose marker holds another id is another disk. "" when the caller keeps
  // no record; any marked root is then taken for the store.
  std::string programSettingsPath;
  // The store's id when the caller knows it (a store of the list after the
  // first): the run then takes it for the recorded one and records nothing.
  std::optional<std::string> storeId;

  // The commands run before and after the run; set by the program, never
  // read from the store.
  RunCommandSettings commands;
  // The after-command did not end with code 0 (said in the log and the
  // error window): the run's own outcome does not say it.
  bool afterCommandFailed = false;
  // The before-command failed, so the run did not take place.
  bool beforeCommandFailed = false;

  // The store is on a network share, allowed by the settings: the run
  // writes there only under the store's own lock, never a stand-in.
  bool storeOnNetwork = false;
  // Old copies are decoded in rotation after each run so that every one is
  // decoded once in about this many days; 0 (what a context starts with):
  // never. The program sets it from its settings.
  int rotationDays = 0;

  // Threads that read the backup set, compress and check the run's copies;
  // 0: one per core.
  unsigned workers = 0;

  // The day's records from the latest scan, in the ordinal order of their
  // lines (CompareRecordLines), and the previous day's list as read, in
  // ordinal order. The changed files are the positions of their records in
  // currentFileList, not copies: a first backup queues every file, and a
  // copy of each record would double the memory a run needs. A record that a
  // run takes out of the day's list is left with an empty path until the
  // list is written; writing it drops such records and sorts the list again,
  // after which the positions are stale.
  std::vector<FileRecord> currentFileList;
  std::vector<std::string> previousFileList;
  // Lines of the previous list that the day keeps (below a folder that
  // vanished or could not be read) but that are no record a restore would
  // take: carried into the day's list as they stand, never read.
  std::vector<std::string> carriedLines;
  std::vector<uint32_t> changedFiles;
  // Of the changed files, those that did not change: they are stored again
  // because the copy their stored name stood for is missing or damaged.
  std::vector<uint32_t> recopiedFiles;
  // The folder the previous list was read from ("" when none was found).
  std::string previousListFolder;
  // What the latest scan and copy left out, by cause.
  LeftOutCounts leftOut;
  // The file system each listed folder was on (FileSystem::FileSystemId),
  // noted in the day's set so that the next run tells an unmounted disk from
  // an emptied folder.
  std::map<std::string, uint64_t> listedFileSystems;

  StoreLayout Layout() const { return StoreLayout(rules, backupRoot, stationName); }
  // Writes a line to the activity log and tells the host.
  void Log(const std::string& message) const;
  // A failure the user must know of: in the log and in the error window.
  void ReportError(const std::string& message) const;
  // Lets pending events run; throws RunStopped once the program must end.
  void Pump() const {
    host.ProcessMessages();
    if (host.StopRequested()) throw RunStopped();
  }
};

}  // namespace varnoket
