#include "app/LastRunOutcome.h"

#include <vector>

#include "engine/BackupRun.h"

namespace varnoket {

namespace {

// The run's own log lines that tell how it ended.
constexpr std::string_view kEndLine = "Fin de la sauvegarde !";
constexpr std::string_view kCompletedStart = "Sauvegarde terminée sur le poste";
constexpr std::string_view kLeftOutStart = "Sauvegarde terminée avec ";
constexpr std::string_view kNoChangeLine = "Aucune modification n'a été détectée.";
constexpr std::string_view kErrorStart = "ERREUR";
constexpr std::string_view kPreparationFailedStart = "La préparation de la sauvegarde";

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

}  // namespace

LastRunOutcome LastRunOutcomeOfLog(std::string_view logText) {
  LastRunOutcome outcome;
  bool ended = false;
  bool completed = false;
  bool noChange = false;
  bool stopped = false;
  bool cancelled = false;
  bool any = false;
  bool header = true;
  while (!logText.empty()) {
    const size_t eol = logText.find('\n');
    std::string_view line = logText.substr(0, eol);
    logText = eol == std::string_view::npos ? std::string_view() : logText.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (header) {
      header = false;
      continue;
    }
    const size_t semicolon = line.find(';');
    if (semicolon == std::string_view::npos) continue;  // a message's continuation line
    const std::string_view message = line.substr(semicolon + 1);
    any = true;
    outcome.when = std::string(line.substr(0, semicolon));
    if (message == kEndLine) {
      ended = true;
    } else if (StartsWith(message, kCompletedStart)) {
      completed = true;
    } else if (StartsWith(message, kLeftOutStart)) {
      outcome.leftOut = std::string(message);
    } else if (message == kNoChangeLine) {
      noChange = true;
    } else if (message == kStoppedLine) {
      stopped = true;
    } else if (message == kCancelledLine) {
      cancelled = true;
    } else if ((StartsWith(message, kErrorStart) || StartsWith(message, kPreparationFailedStart)) &&
               outcome.error.empty()) {
      outcome.error = std::string(message);
    }
  }
  if (!any) {
    outcome.when.clear();
    return outcome;
  }
  if (!ended) {
    outcome.state = LastRunState::kUnfinished;
  } else if (stopped) {
    outcome.state = LastRunState::kStopped;
  } else if (cancelled) {
    outcome.state = LastRunState::kCancelled;
  } else if (!outcome.leftOut.empty()) {
    outcome.state = LastRunState::kLeftOut;
  } else if (completed) {
    // Files that could not be read are said in the log; the day was written.
    outcome.state = LastRunState::kCompleted;
  } else if (noChange) {
    outcome.state = LastRunState::kNoChange;
  } else {
    outcome.state = LastRunState::kFailed;
  }
  return outcome;
}

}  // namespace varnoket
