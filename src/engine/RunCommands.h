// The commands a person may have run before and after each backup run (to
// quiesce a database or a mail client, to start it again): run through the
// shell within a time limit each, their output written to the activity log.
#pragma once

#include "engine/BackupRun.h"

namespace varnoket {

struct BackupContext;

// The word the after-command finds in VARNOKET_OUTCOME for a run's outcome.
const char* OutcomeWord(BackupOutcome outcome);

// Runs the before-command, if any. False when it did not end with code 0:
// the run must not go on; the log and the error window say why. Throws
// RunStopped when the program is ending while it runs (it is ended too).
bool RunBeforeCommand(BackupContext& ctx);

// Runs the after-command, if any, with the outcome in its environment. False
// when it did not end with code 0: the log and the error window say why.
bool RunAfterCommand(BackupContext& ctx, BackupOutcome outcome);

}  // namespace varnoket
