// The backup run: scan, consolidation, compression of every changed file
// into today's day folder, the day's file list, the new backup date, and the
// activity log of every step.
#pragma once

#include "engine/BackupContext.h"

namespace varnoket {

enum class BackupOutcome {
  kNotStarted,      // no backup root or no station name
  kStoreAbsent,     // the store's disk is not there (or another disk is): nothing was touched
  kNoDirectories,   // the backup set is empty
  kBusy,            // another run holds the station; nothing was touched
  kForeignStation,  // the station folder is another machine's; nothing was touched
  kFailed,          // stopped on an error (logged and shown)
  kStopped,         // the program is ending: stopped at a file boundary
  kCancelled,       // the person stopped it: stopped at a file boundary
  kNoChange,        // nothing changed since the previous file list
  kNoSpace,         // the changed files do not fit on the store's disk: nothing was copied
  kCompleted,       // the day's file list and the backup date are written
  // Completed (or nothing changed), but entries of the set were left out by
  // a problem (unreadable, vanished, ...): each is named in the log.
  kCompletedWithLeftOut,
};

// The log's line for a run stopped because the program ends, and for one the
// person stopped; other copies of the program read them back.
inline constexpr const char* kStoppedLine = "Sauvegarde interrompue : le programme se termine.";
inline constexpr const char* kCancelledLine = "Sauvegarde arrêtée à la demande de l'utilisateur.";

// Runs one backup, on the caller's thread, reporting through ctx.host.
BackupOutcome RunBackup(BackupContext& ctx);

}  // namespace varnoket
