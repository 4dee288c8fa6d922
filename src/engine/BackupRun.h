// The backup run: scan, consolidation, compression of every changed file
// into today's day folder, the day's file list, the new backup date, and the
// activity log of every step.
#pragma once

#include "engine/BackupContext.h"

namespace varnoket {

enum class BackupOutcome {
  kNotStarted,     // no backup root or no station name
  kNoDirectories,  // the backup set is empty
  kFailed,         // stopped on an error (logged and shown)
  kNoChange,       // nothing changed since the previous file list
  kCompleted,      // the day's file list and the backup date are written
};

// Runs one backup, on the caller's thread, reporting through ctx.host.
BackupOutcome RunBackup(BackupContext& ctx);

}  // namespace varnoket
