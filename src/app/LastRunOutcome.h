// How the station's latest backup run ended, read from its activity log
// (LASTBACKUP.LOG, rewritten by every run): for a status shown without the
// window program, which keeps this only in memory while it runs.
#pragma once

#include <string>
#include <string_view>

namespace varnoket {

enum class LastRunState {
  kNoLog,       // no run has written a log yet (or it is empty)
  kCompleted,   // the day's backup was written
  kLeftOut,     // the day's backup was written (or nothing changed), entries left out
  kNoChange,    // nothing had changed since the previous backup
  kFailed,      // ended on an error
  kStopped,     // the program ended during the run, which stopped cleanly
  kCancelled,   // the person stopped the run, which stopped cleanly
  kUnfinished,  // no end line: running now, or cut off (a crash, a power loss)
};

struct LastRunOutcome {
  LastRunState state = LastRunState::kNoLog;
  std::string when;  // the date-time of the log's last line ("dd/mm/yyyy hh:nn:ss")
  // The first error line's message: why a failed run failed, or what a
  // completed run could not save (an unreadable file).
  std::string error;
  // The run's own count of what it left out ("Sauvegarde terminée avec N
  // élément(s) non sauvegardé(s) ..."), for kLeftOut.
  std::string leftOut;
};

// The outcome told by a log's text (lines "date-time;message" after a
// header line, CR LF or LF line ends).
LastRunOutcome LastRunOutcomeOfLog(std::string_view logText);

}  // namespace varnoket
