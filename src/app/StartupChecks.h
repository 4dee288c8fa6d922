// The checks of the main window's first showing: the backup root is
// configured and writable, the start-up entry is written, the station's
// backup set belongs to this machine and is loaded, and no backup directory
// holds the root. They talk to the user through Dialogs and reach the window
// only through StartupHost, so every order of boxes is tested without one.
#pragma once

#include <string>

#include "app/MainWindowRules.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "settings/StationSettings.h"

namespace varnoket {

// What the checks need from the window that runs them.
class StartupHost {
 public:
  virtual ~StartupHost() = default;

  // The configured backup root; "" when none is configured yet.
  virtual std::string ConfiguredRoot() const = 0;
  // Opens the configuration and returns once it is closed.
  virtual void OpenConfiguration() = 0;
  // The tray icon goes and the program ends.
  virtual void EndProgramNow() = 0;
  // Shows the backup set's two lists as they are now.
  virtual void ShowBackupSet() = 0;
  // A directory was dropped from the list: show the list again and its width.
  virtual void DirectoryListChanged() = 0;
  // The store id recorded in the program settings; "" when none is.
  virtual std::string RecordedStoreId() const { return {}; }
  // The store's disk is not there: say so (the one line of `text`) where the
  // backup set would be, in the status and the log.
  virtual void StoreAbsent(const std::string& /*text*/) {}
};

enum class StartupOutcome {
  kPassed,  // the backup set is loaded and the program may run
  kRetry,   // not passed yet: the checks run again at the next showing
  // The store's disk is absent (or another disk is there): nothing loaded,
  // nothing written; the checks run again when the disk may have come.
  kStoreAbsent,
  kStopped,  // a check failed for good; the program ends or stays idle
};

// Where the checks run: the program file, the machine's station name and
// whether this copy owns its folder (a master station may configure).
struct StartupSetup {
  std::string programPath;
  std::string stationName;
  AutostartFolders autostart;
  bool masterStation = false;
};

class StartupChecks {
 public:
  StartupChecks(FileSystem& fs, Dialogs& dialogs, StartupHost& host, StartupSetup setup)
      : fs_(fs), dialogs_(dialogs), host_(host), setup_(std::move(setup)) {}

  // Runs the checks in their order; `station` receives the loaded set.
  StartupOutcome Run(StationSettings& station);

  // The folder the start-up entry went to ("" until it is written).
  const std::string& StartupFolder() const { return startupFolder_; }

 private:
  bool WriteTestOfRoot(const std::string& root);
  void WriteStartupEntry();

  FileSystem& fs_;
  Dialogs& dialogs_;
  StartupHost& host_;
  StartupSetup setup_;
  std::string startupFolder_;
};

}  // namespace varnoket
