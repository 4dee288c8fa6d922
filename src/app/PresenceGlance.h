// Whether each disk of the list is here, for the window program's own
// questions (is a run due, what the tray says of each disk, is a disk back):
// asked off the window's thread and waited for a moment only, so a disk on
// a share that no longer answers counts as absent until it answers, and the
// window never waits on it. The run itself asks the disks on its own thread.
#pragma once

#include <chrono>
#include <map>
#include <string>

#include "engine/StoreChoice.h"
#include "platform/FileSystem.h"
#include "platform/QuestionOffThread.h"

namespace varnoket {

class PresenceGlance {
 public:
  // `fs` must outlive every question (a hung one included): the program's.
  PresenceGlance(FileSystem& fs, std::chrono::milliseconds wait) : fs_(fs), wait_(wait) {}

  // The check StoresHere and StoreAges take, for this machine's `station`.
  StorePresenceCheck For(const std::string& station);

 private:
  FileSystem& fs_;
  std::chrono::milliseconds wait_;
  // One question at a time for each disk of the list.
  std::map<std::string, QuestionOffThread<bool>> questions_;
};

}  // namespace varnoket
