// The update role: what the freshly downloaded program does when it runs as
// "_FILE1.EXE" from the download folder. On the machine that downloaded it,
// it marks the hand-over with the exchange file, waits for every network
// copy to notice, replaces the installed program with itself and starts it;
// on a machine that runs the program from the network, it only waits and
// starts the shared program again. It never opens a window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "update/HandOverNames.h"

namespace varnoket {

constexpr const char* kInstalledProgramName = "varnoket";

struct UpdateRoleEnv {
  UpdateRoleEnv(FileSystem& fileSystem, Dialogs& boxes) : fs(fileSystem), dialogs(boxes) {}

  FileSystem& fs;
  Dialogs& dialogs;         // the two "ERREUR" boxes
  std::string programPath;  // this update program's own path
  bool localDrive = true;   // the program runs from a local drive
  bool anotherInstanceRunning = false;
  std::function<void(int milliseconds)> sleep;
  std::function<bool(const std::string& program)> start;
  int localWaitMs = 630000;    // longer than one scheduler tick
  int networkWaitMs = 660000;  // longer than the local wait
};

// Runs the role to its end. Throws std::runtime_error("le chemin de
// l'application est incorrect !") when the program's folder has no parent.
void RunUpdateRole(UpdateRoleEnv& env);

}  // namespace varnoket
