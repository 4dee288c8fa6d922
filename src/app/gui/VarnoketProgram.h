// The window program of the normal role: its services (clock, message boxes,
// folder picker, drive information) and its windows, created in the
// program's order and wired to the main window.
#pragma once

#include <memory>
#include <string>

#include "app/DailyScheduler.h"
#include "app/gui/AnsweringDialogs.h"
#include "app/gui/EndSignals.h"
#include "app/gui/ProgramWindows.h"
#include "app/gui/RunTriggers.h"
#include "app/gui/SecondStartListener.h"
#include "desktop/gui/DbusNotifier.h"
#include "desktop/gui/LogindInhibitor.h"
#include "desktop/gui/QtFolderPicker.h"
#include "desktop/gui/UPowerSource.h"
#include "platform/Clock.h"
#include "platform/DriveInfo.h"
#include "ui/gui/QtDialogs.h"

namespace varnoket {

// What a build of the program fixes: the update address and key, and the
// scheduler's period (a test build shortens it).
struct ProgramBuildSettings {
  std::string updateUrl;
  std::string publicKeyHex;
  int timerIntervalMs = kSchedulerPeriodMs;
  bool assumeOnline = false;  // a test build whose server is on this machine
  // A test build driven over D-Bus: message boxes answer themselves.
  bool answerBoxes = false;
  // Installed by the package manager: settings in the user's configuration
  // folder, and no update of its own.
  bool installed = false;
  // Where a second start of the same user asks for the main window (beside
  // the instance marker); "" listens nowhere.
  std::string secondStartSocket;
};

class VarnoketProgram {
 public:
  VarnoketProgram(const std::string& programPath, const std::string& settingsFolder,
                  const ProgramBuildSettings& settings);
  ~VarnoketProgram();

  // Shows the main window; its first showing runs the start-up checks. Then
  // listens for second starts.
  void Start();
  MainWindow& Main() { return windows_->Main(); }

 private:
  SystemClock clock_;
  QtDialogs dialogs_;
  AnsweringDialogs answeringDialogs_;
  QtFolderPicker picker_{dialogs_};
  // Before the windows, which use it, so it outlives them.
  std::unique_ptr<DbusNotifier> notifier_;
  DriveInfo drives_;
  UPowerSource power_;
  LogindInhibitor sleepInhibitor_;
  std::unique_ptr<ProgramWindows> windows_;
  std::unique_ptr<EndSignals> endSignals_;
  std::unique_ptr<RunTriggers> triggers_;
  std::string secondStartSocket_;
  std::unique_ptr<SecondStartListener> secondStarts_;
};

}  // namespace varnoket
