// A backup to every configured store that is here: the store the program
// works on with the station settings already loaded from it, then each other
// store present, one after the other, each complete on its own with its own
// station file, days and log. A store that is away is skipped with one line.
// Before any of them is written, the backup set is made the same on every
// store present: the one saved most often (ENSEMBLE_VERSION) wins, so an edit
// made while another disk was plugged in is not undone.
#pragma once

#include <string>
#include <vector>

#include "engine/BackupRun.h"
#include "settings/ProgramSettings.h"

namespace varnoket {

struct StoreRun {
  std::string name;
  std::string root;
  BackupOutcome outcome = BackupOutcome::kNotStarted;  // kStoreAbsent: skipped
  std::string refusal;  // why it did not run, or the run's own refusal
  bool afterCommandFailed = false;
  bool beforeCommandFailed = false;
  LeftOutCounts leftOut;
};

// `ctx` is set for the store `program` works on (program.activeStore), its
// station settings loaded from it. With one store, one RunBackup(ctx).
// Records each store's success in the program settings file (when
// ctx.programSettingsPath is set). A run stopped by the person or by the end
// of the program ends the whole pass.
// `everyStore` false: the store the program works on only.
std::vector<StoreRun> RunBackupOnEveryStore(BackupContext& ctx, const ProgramSettings& program,
                                            bool everyStore = true);

// The outcome of the whole pass, as one run's would be told: every store
// away is kStoreAbsent; otherwise the worst outcome of the stores that ran.
BackupOutcome CombinedOutcome(const std::vector<StoreRun>& runs);

// One store's line in the pass's summary: "Disque B (/media/b) : ...".
std::string StoreRunLine(const StoreRun& run);

// Whether an outcome means the store holds today's backup.
bool BackedUp(BackupOutcome outcome);

}  // namespace varnoket
