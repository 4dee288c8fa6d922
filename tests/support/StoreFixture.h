// A backup set, a store and a clock in a temporary folder, with a host that
// records what the engine reports; and a restore of a whole day that gives
// back every recorded file's bytes, to compare a day with what its source
// held.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/BackupContext.h"
#include "engine/BackupRun.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "settings/StationSettings.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"

namespace varnoket::test {

class RecordingHost : public BackupHost {
 public:
  void SetTrayImage(int index) override { trayImages.push_back(index); }
  void SetTrayHint(const std::string& hint) override {
    hints.push_back(hint);
    if (!stopOnHint.empty() && hint.rfind(stopOnHint, 0) == 0) stopSeen = true;
  }
  void ShowErrorWindow(const std::string& text) override { errorWindow.push_back(text); }
  void DisableWindows() override { ++disabled; }
  void RestoreWindows() override { ++restored; }
  void SetMenuItemsEnabled(bool configure, bool enlarge) override {
    menuStates.emplace_back(configure, enlarge);
  }
  void EnableTimer() override { ++timerEnabled; }
  void Logged(const std::string& message) override { logged.push_back(message); }
  void ProcessMessages() override { ++pumps; }
  void ShowProgress(const RunProgress& shown) override {
    progress.push_back(shown);
    if (!cancelInFile.empty() && shown.currentFile.ends_with(cancelInFile) &&
        shown.bytesDone > cancelAtBytes) {
      cancelSeen = true;
    }
  }
  bool CancelRequested() const override { return cancelSeen; }
  // The program is told to end once the run has pumped `stopAfterPumps` times.
  // or once a hint starting with `stopOnHint` was shown.
  bool StopRequested() const override {
    return stopSeen || cancelSeen || (stopAfterPumps >= 0 && pumps >= stopAfterPumps);
  }

  std::vector<int> trayImages;
  std::vector<std::string> hints;
  std::vector<std::string> errorWindow;
  std::vector<std::string> logged;
  std::vector<std::pair<bool, bool>> menuStates;
  int disabled = 0;
  int restored = 0;
  int timerEnabled = 0;
  int pumps = 0;
  int stopAfterPumps = -1;
  std::string stopOnHint;
  bool stopSeen = false;
  std::vector<RunProgress> progress;
  // The person stops the run once the copy of a file ending so is under way.
  std::string cancelInFile;
  int64_t cancelAtBytes = 0;  // once the run has read more than this
  bool cancelSeen = false;
};

struct RestoredDay {
  std::map<std::string, std::string> files;  // recorded path -> restored bytes
  std::vector<std::string> report;           // lines of failed items
  int errors = 0;
};

class StoreFixture {
 public:
  explicit StoreFixture(FileSystem& fs = DefaultFileSystem());

  // Moves the clock to a day, at 14:00 unless told otherwise.
  void SetDay(int day, int month, int year, int hour = 14);
  // One backup run as the scheduler starts it; the host's records are
  // cleared first.
  BackupOutcome Backup();

  // Writes a file of the backup set (path relative to the source folder).
  std::string Write(const std::string& relative, const std::string& contents);
  void Remove(const std::string& relative);
  // Every file of the source folder: full path -> bytes.
  std::map<std::string, std::string> Snapshot() const;

  // The station's backup days, oldest first (folder names).
  std::vector<std::string> Days();
  // Restores every file of a day into a fresh folder and reads them back.
  RestoredDay RestoreDay(const std::string& folderName);
  std::string DayFolder(const std::string& folderName) const;
  std::vector<std::string> FileList(const std::string& folderName) const;

  TempDir tmp;
  FileSystem& fs;
  std::string source;
  std::string root;
  std::string stationName = "POSTE1";
  int daysKept = 30;
  ManualClock clock;
  RecordingHost host;
  FakeDialogs dialogs;
  StationSettings station;
  BackupContext ctx;

 private:
  int restoreCount_ = 0;
};

}  // namespace varnoket::test
