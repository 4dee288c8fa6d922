// A backup's progress on the terminal's progress line, from what the run
// tells its host: the tray hint names the file being started ("Fichier 12
// sur 340") or the folder being scanned, and the run's lists give each
// queued file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/ProgressLine.h"
#include "engine/BackupContext.h"

namespace varnoket {

class BackupProgress {
 public:
  explicit BackupProgress(ProgressLine& line) : line_(line) {}

  // The run whose lists give the queued files (made after its host).
  void Follow(const BackupContext& ctx) { ctx_ = &ctx; }

  // A new tray hint of the run.
  void Hint(const std::string& hint);

 private:
  // The bytes of the files queued before each one, in the copy's order (the
  // scan's; a run that finds stale copies of today sorts it, and the bytes
  // shown are then an estimate), read once when the copy starts.
  void CountQueuedBytes();

  ProgressLine& line_;
  const BackupContext* ctx_ = nullptr;
  std::vector<int64_t> bytesBefore_;  // one more entry than queued files
};

}  // namespace varnoket
