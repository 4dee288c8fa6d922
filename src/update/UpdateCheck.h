// The update logic of the scheduler tick. On a copy run from a network folder
// it hands over to the downloaded program as soon as the exchange file shows
// an update being put in place; on the copy that owns the program folder it
// asks the update server once a day for the newest version and, when that
// differs from the running one, downloads the signed release files, starts
// the new program and ends. Everything it touches is injected, so it runs
// without a network, a screen or a real process end.
#pragma once

#include <string>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "update/HandOverNames.h"
#include "update/UpdateHost.h"

namespace varnoket {

// What the check works with: the disk, the day, its host, and where the
// program and the update server are.
struct UpdateEnv {
  UpdateEnv(FileSystem& fileSystem, const Clock& today, UpdateHost& hostRef)
      : fs(fileSystem), clock(today), host(hostRef) {}

  FileSystem& fs;
  const Clock& clock;
  UpdateHost& host;
  std::string programPath;
  std::string programFolder;  // without a trailing '/'
  std::string versionUrl = VARNOKET_UPDATE_URL;
  std::string publicKeyHex = VARNOKET_UPDATE_PUBLIC_KEY;
};

struct UpdateState {
  int lastUpdateCheck = 0;     // day of the last attempt (UpdateCheckDay), 0 for none
  std::string currentVersion;  // the running version
};

enum class UpdateTickResult {
  kGoOn,          // the tick goes on with the backup-time test
  kStopTick,      // an attempt failed: its message is shown and the timer runs again
  kProcessEnded,  // handed over to the downloaded program
};

// The day of `t` as the last update check is recorded: days since
// 30/12/1899, so every real date is above 0.
int UpdateCheckDay(const LocalDateTime& t);

// The exchange-file test, then the version check.
UpdateTickResult RunUpdateTick(UpdateEnv& env, UpdateState& state, bool masterStation);

}  // namespace varnoket
