// A backup's progress on the terminal's progress line, from what the run
// tells its host: the copy's counts as it goes, and before them the tray
// hint (the folder being scanned).
#pragma once

#include <string>

#include "cli/ProgressLine.h"
#include "engine/RunProgress.h"

namespace varnoket {

class BackupProgress {
 public:
  explicit BackupProgress(ProgressLine& line) : line_(line) {}

  // A new tray hint of the run: shown until the copy gives counts.
  void Hint(const std::string& hint);
  // The copy's counts.
  void Update(const RunProgress& progress);

 private:
  ProgressLine& line_;
  bool counting_ = false;
};

}  // namespace varnoket
