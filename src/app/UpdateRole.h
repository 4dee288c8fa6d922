// The update role: what the freshly downloaded program does when it runs as
// "_FILE1.EXE" from the download folder. On the machine that downloaded it,
// it marks the hand-over with the exchange file, waits for every network
// copy to notice, replaces the installed program with itself and starts it;
// on a machine that runs the program from the network, it only waits and
// starts the shared program again. It never opens a window.
#pragma once

#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "update/HandOverNames.h"

namespace varnoket {

constexpr const char* kInstalledProgramName = "varnoket";

// How long the downloading machine keeps the exchange file before it
// replaces the program: longer than one scheduler tick, so every network
// copy has seen it and ended.
inline constexpr int kLocalHandOverWaitMs = 630000;
// How long a network copy waits before it starts the shared program again:
// longer than the local wait, so the program is surely replaced by then.
inline constexpr int kNetworkHandOverWaitMs = 660000;

// What the role needs from the process that runs it (the program, a test).
class UpdateRoleHost {
 public:
  virtual ~UpdateRoleHost() = default;

  virtual void Sleep(int milliseconds) = 0;
  // Starts a program; true when it started.
  virtual bool Start(const std::string& program) = 0;
};

struct UpdateRoleEnv {
  UpdateRoleEnv(FileSystem& fileSystem, Dialogs& boxes, UpdateRoleHost& hostRef)
      : fs(fileSystem), dialogs(boxes), host(hostRef) {}

  FileSystem& fs;
  Dialogs& dialogs;  // the two "ERREUR" boxes
  UpdateRoleHost& host;
  std::string programPath;  // this update program's own path
  bool localDrive = true;   // the program runs from a local drive
  bool anotherInstanceRunning = false;
  int localWaitMs = kLocalHandOverWaitMs;
  int networkWaitMs = kNetworkHandOverWaitMs;
};

// Runs the role to its end. Throws std::runtime_error("le chemin de
// l'application est incorrect !") when the program's folder has no parent.
void RunUpdateRole(UpdateRoleEnv& env);

}  // namespace varnoket
