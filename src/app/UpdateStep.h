// The update step of the scheduler's tick as the main window runs it: the
// running version and the day of the latest attempt, kept from one tick to
// the next, the address and key the build fixes, and the check itself
// (update/UpdateCheck.h) over the host's downloads.
#pragma once

#include <string>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "update/UpdateCheck.h"
#include "update/UpdateHost.h"

namespace varnoket {

struct UpdateStepSetup {
  std::string programPath;     // the running program file
  std::string updateUrl;       // the version file's address; "" keeps the built-in one and its key
  std::string publicKeyHex;    // the key release files are signed with
  std::string currentVersion;  // the running version
  bool masterStation = false;  // this copy owns the program folder
  bool installed = false;      // the package manager updates this copy: no check at all
};

class UpdateStep {
 public:
  UpdateStep(FileSystem& fs, const Clock& clock, UpdateHost& host, const UpdateStepSetup& setup);

  // The exchange-file test, then the daily version check.
  UpdateTickResult Run();

  // Day of the latest version check (DayNumber), 0 for none yet.
  int LastUpdateCheck() const { return state_.lastUpdateCheck; }

 private:
  UpdateEnv env_;
  UpdateState state_;
  bool masterStation_;
  bool installed_;
};

}  // namespace varnoket
