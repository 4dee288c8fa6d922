// Who this process is, as the store records it beside a station's files: a
// machine identity that outlives renames of the machine (unlike its host
// name), the host name for people to read, and the process.
#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace varnoket {

struct MachineIdentity {
  std::string id;    // the system's machine id, or one made from the host
  std::string host;  // the full host name
  long pid = 0;
};

// The machine id of /etc/machine-id (or D-Bus's copy of it); where the
// system has none, "host-" followed by the host name, which is the best
// that can be told apart without one.
MachineIdentity ThisMachine(FileSystem& fs);

// True when `pid` names a running process of this machine.
bool ProcessAlive(long pid);

// This process's id, for names of files only this process makes.
long ThisProcessId();

}  // namespace varnoket
