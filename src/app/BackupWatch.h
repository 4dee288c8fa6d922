// Keeps the person told whether backups are happening: the last success in
// the tray hint and the main window's title, a warning picture while the
// last success is too old or the last run failed, and notifications: at
// once when a run fails, and then once a day until a run succeeds again.
// A too-old success is only warned of on a tick, after the day's run has had
// its chance, so a program started on a day whose run has not come yet does
// not cry wolf.
#pragma once

#include <optional>
#include <string>

#include "desktop/Notifier.h"
#include "engine/BackupRun.h"
#include "engine/StoreLayout.h"
#include "platform/Clock.h"
#include "platform/Day.h"
#include "platform/Translation.h"

namespace varnoket {

inline constexpr const char* kRunFailedSummary = VK_TR_NOOP("Messages", "Échec de la sauvegarde");
inline constexpr const char* kTooOldSummary = VK_TR_NOOP("Messages", "Sauvegarde en retard");
inline constexpr const char* kRunPutOffSummary = VK_TR_NOOP("Messages", "Sauvegarde reportée");
inline constexpr const char* kLeftOutSummary = VK_TR_NOOP("Messages", "Sauvegarde incomplète");
inline constexpr const char* kRunDoneSummary = VK_TR_NOOP("Messages", "Sauvegarde terminée");
inline constexpr const char* kRunProblemSummary =
    VK_TR_NOOP("Messages", "Sauvegarde faite, avec un problème");
inline constexpr const char* kRunCancelledSummary = VK_TR_NOOP("Messages", "Sauvegarde arrêtée");

// Where the watch shows its state (the tray and the main window).
class BackupWatchDisplay {
 public:
  virtual ~BackupWatchDisplay() = default;
  // `text`: LastSuccessText; `warning`: the warning picture is due.
  virtual void ShowLastSuccess(const std::string& text, bool warning) = 0;
};

// How a run ended, as the watch needs it.
struct RunReport {
  BackupOutcome outcome = BackupOutcome::kNotStarted;
  std::optional<Day> lastBackupDate;  // the station's date after the run
  std::string errorText;              // the error the run showed, if any
  std::string refusal;                // why a busy station refused the run
  // "Sauvegarder Maintenant": failures are told in a box, and the end of
  // the run in a notification whatever its outcome.
  bool askedByUser = false;
  int leftOut = 0;      // entries left out by a problem (kCompletedWithLeftOut)
  std::string logPath;  // where their list is: the activity log
};

class BackupWatch {
 public:
  BackupWatch(const Clock& clock, Notifier& notifier, BackupWatchDisplay& display)
      : clock_(clock), notifier_(notifier), display_(display) {}

  // The station's date is known or changed: shows it, tells nothing.
  void Show(const std::optional<Day>& lastBackupDate, int alertDays);
  // A tick of the scheduler: shows the state and sends the day's reminder
  // while a warning holds and none went out today.
  void Check(const std::optional<Day>& lastBackupDate, int alertDays);
  // A run ended: a new failure is told at once (the same failure again,
  // as each tick retries, is left to the daily reminder); a busy station
  // once until it frees; a success clears the warning.
  void RunEnded(const RunReport& report, int alertDays);

  bool LastRunFailed() const { return lastRunFailed_; }
  // The store's disk is absent (at start-up or for a run; `text` says
  // which): told once in a notification until the store is reached again,
  // and the status says it instead of the last success meanwhile.
  void StoreAbsent(const std::string& text);
  bool StoreAbsentShown() const { return !storeAbsent_.empty(); }
  // Whether the warning picture is due for this date now.
  bool WarningDue(const std::optional<Day>& lastBackupDate, int alertDays) const;

 private:
  Day Today() const;
  void Remind(const std::optional<Day>& lastBackupDate, int alertDays);
  // RunEnded's steps for a failed run and for a day saved.
  void RunFailed(const RunReport& report);
  void RunSaved(const RunReport& report);

  const Clock& clock_;
  Notifier& notifier_;
  BackupWatchDisplay& display_;
  bool lastRunFailed_ = false;
  bool lastRunLeftOut_ = false;  // the day is saved, with entries left out
  std::string lastFailure_;      // the outcome and error of the latest failure
  bool busyTold_ = false;
  std::string storeAbsent_;  // the status while the store's disk is absent
  bool storeAbsentTold_ = false;
  std::optional<Day> remindedOn_;  // the day the latest warning went out
};

}  // namespace varnoket
