#include "app/BackupWatch.h"

#include "app/LastSuccess.h"
#include "engine/StoreCheck.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

Day BackupWatch::Today() const {
  const LocalDateTime now = clock_.Now();
  return DayOf(now);
}

bool BackupWatch::WarningDue(const std::optional<Day>& lastBackupDate, int alertDays) const {
  if (lastRunFailed_ || lastRunLeftOut_) return true;
  const std::optional<int> age = DaysSinceLastSuccess(lastBackupDate, clock_.Now());
  return age.has_value() && *age > alertDays;
}

void BackupWatch::Show(const std::optional<Day>& lastBackupDate, int alertDays) {
  display_.ShowLastSuccess(
      storeAbsent_.empty() ? LastSuccessText(lastBackupDate, clock_.Now()) : storeAbsent_,
      WarningDue(lastBackupDate, alertDays));
}

void BackupWatch::Check(const std::optional<Day>& lastBackupDate, int alertDays) {
  Show(lastBackupDate, alertDays);
  if (!WarningDue(lastBackupDate, alertDays)) {
    remindedOn_.reset();  // fixed: the next problem is told on its first day
    return;
  }
  if (remindedOn_ != Today()) Remind(lastBackupDate, alertDays);
}

void BackupWatch::Remind(const std::optional<Day>& lastBackupDate, int alertDays) {
  const std::string text = LastSuccessText(lastBackupDate, clock_.Now());
  if (lastRunFailed_) {
    notifier_.Notify(
        {kRunFailedSummary,
         FillText(VK_TR_NOOP("Messages", "La dernière sauvegarde a échoué.\n%s"), {text}), true});
  } else {
    notifier_.Notify(
        {kTooOldSummary,
         FillText(alertDays == 1
                      ? VK_TR_NOOP("Messages",
                                   "Aucune sauvegarde n'a réussi depuis plus de %s jour.\n%s")
                      : VK_TR_NOOP("Messages",
                                   "Aucune sauvegarde n'a réussi depuis plus de %s jours.\n%s"),
                  {std::to_string(alertDays), text}),
         true});
  }
  remindedOn_ = Today();
}

void BackupWatch::StoreAbsent(const std::string& text) {
  storeAbsent_ = text.empty() ? std::string(kStoreAbsentText) : text;
  if (storeAbsentTold_) return;
  storeAbsentTold_ = true;
  notifier_.Notify(
      {kStoreAbsentText,
       FillText(VK_TR_NOOP("Messages", "%s\nLa sauvegarde partira dès qu'il sera branché."),
                {storeAbsent_}),
       false});
}

void BackupWatch::RunFailed(const RunReport& report) {
  std::string body =
      report.errorText.empty()
          ? FillText(VK_TR_NOOP("Messages", "La sauvegarde du %s a échoué."), {DayText(Today())})
          : FillText(VK_TR_NOOP("Messages", "La sauvegarde du %s a échoué.\n%s"),
                     {DayText(Today()), report.errorText});
  // Each tick retries a failed run: the same failure again is left to
  // the daily reminder, a new one is told.
  const std::string failure =
      std::to_string(static_cast<int>(report.outcome)) + ":" + report.errorText;
  if (!lastRunFailed_ || failure != lastFailure_) {
    notifier_.Notify({kRunFailedSummary, body, true});
    remindedOn_ = Today();
  }
  lastRunFailed_ = true;
  lastFailure_ = failure;
}

void BackupWatch::RunSaved(const RunReport& report) {
  lastRunFailed_ = false;
  lastRunLeftOut_ = false;
  // A day saved while something else went wrong (an old copy found
  // damaged, the command after the run failed): the error window may be
  // behind other windows, so the desktop says it too.
  if (!report.errorText.empty()) {
    notifier_.Notify({kRunProblemSummary,
                      FillText(VK_TR_NOOP("Messages", "La sauvegarde du %s est faite, mais :\n%s"),
                               {DayText(Today()), report.errorText}),
                      true});
    return;
  }
  // The person who started the run is told it is over; a scheduled
  // run that went well needs no word.
  if (report.askedByUser) {
    notifier_.Notify(
        {kRunDoneSummary,
         report.outcome == BackupOutcome::kNoChange
             ? FillText(VK_TR_NOOP("Messages",
                                   "La sauvegarde du %s est faite : aucun fichier n'avait "
                                   "changé."),
                        {DayText(Today())})
             : FillText(VK_TR_NOOP("Messages", "La sauvegarde du %s est faite."),
                        {DayText(Today())}),
         false});
  }
}

void BackupWatch::RunEnded(const RunReport& report, int alertDays) {
  if (report.outcome == BackupOutcome::kStoreAbsent) {
    StoreAbsent(report.refusal);
  } else {
    // The run reached the store (or had none to reach): a later absence is
    // a new one, told again.
    storeAbsent_.clear();
    storeAbsentTold_ = false;
  }
  switch (report.outcome) {
    case BackupOutcome::kBusy:
      // Another run works on the station; the next tick tries again. The
      // hint keeps the refusal the run put there.
      if (!busyTold_ && !report.askedByUser) {
        notifier_.Notify({kRunPutOffSummary, report.refusal, false});
      }
      busyTold_ = true;
      return;
    case BackupOutcome::kFailed:
    case BackupOutcome::kNoSpace:
    case BackupOutcome::kForeignStation:
      RunFailed(report);
      break;
    case BackupOutcome::kCompletedWithLeftOut:
      // The day counts as saved, but not whole: said at once, and the
      // warning picture stays until a run leaves nothing out.
      lastRunFailed_ = false;
      lastRunLeftOut_ = true;
      notifier_.Notify(
          {kLeftOutSummary,
           FillText(VK_TR_NOOP("Messages",
                               "La sauvegarde du %s est faite, mais %s élément(s) n'ont pas pu "
                               "être sauvegardés.\nLa liste est dans le journal (%s)."),
                    {DayText(Today()), std::to_string(report.leftOut), report.logPath}),
           true});
      break;
    case BackupOutcome::kCompleted:
    case BackupOutcome::kNoChange:
      RunSaved(report);
      break;
    case BackupOutcome::kCancelled:
      notifier_.Notify(
          {kRunCancelledSummary,
           VK_TR_NOOP("Messages",
                      "La sauvegarde a été arrêtée avant sa fin. Les copies déjà faites seront "
                      "reprises par la prochaine sauvegarde, demain à l'heure prévue ou dès que "
                      "vous cliquerez sur « Sauvegarder Maintenant »."),
           false});
      break;
    case BackupOutcome::kNotStarted:
    case BackupOutcome::kStoreAbsent:
    case BackupOutcome::kNoDirectories:
    case BackupOutcome::kStopped:
      break;
  }
  busyTold_ = false;
  Show(report.lastBackupDate, alertDays);
  if (!WarningDue(report.lastBackupDate, alertDays)) remindedOn_.reset();
}

}  // namespace varnoket
