#include "app/DailyScheduler.h"

#include <algorithm>
#include <cstdio>

#include "app/RunConditions.h"
#include "app/StoreAges.h"
#include "engine/ActivityLog.h"
#include "engine/BackupContext.h"
#include "engine/EveryStoreRun.h"
#include "engine/Scheduler.h"
#include "engine/StoreCheck.h"
#include "engine/StoreChoice.h"
#include "engine/StoreLayout.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "settings/SettingsKeys.h"

namespace varnoket {
namespace {

constexpr int kBeforeCommandRetryMinutes = 60;

long MinuteOf(const LocalDateTime& t) {
  return DayNumber(DayOf(t)) * 24 * 60 + t.hour * 60 + t.minute;
}

bool BeforeCommandFailed(const std::vector<StoreRun>& runs) {
  return std::any_of(runs.begin(), runs.end(),
                     [](const StoreRun& run) { return run.beforeCommandFailed; });
}

// "Nouvel essai de la sauvegarde à 15:10."
std::string RetryLine(const LocalDateTime& now) {
  const int minutes = (now.hour * 60 + now.minute + kBeforeCommandRetryMinutes) % (24 * 60);
  char time[8];
  std::snprintf(time, sizeof time, "%02d:%02d", minutes / 60, minutes % 60);
  return FillText(VK_TR_NOOP("Messages", "Nouvel essai de la sauvegarde à %s."), {time});
}

}  // namespace

void DailyScheduler::Tick() {
  if (running_ || !station_.lastBackupDate || !host_.Program().IsOpen()) return;
  host_.StopTimer();
  switch (host_.RunUpdateStep()) {
    case UpdateTickResult::kGoOn:
      break;
    case UpdateTickResult::kStopTick:  // its error is shown, the timer runs again
      return;
    case UpdateTickResult::kProcessEnded:  // handing over to the new version
      return;
  }
  if (DueAndAllowed()) RunBackupNow(false);
  host_.StartTimer();
}

void DailyScheduler::RunIfDue() {
  if (running_ || !station_.lastBackupDate || !host_.Program().IsOpen()) return;
  if (!DueAndAllowed()) return;
  host_.StopTimer();
  RunBackupNow(false);
  host_.StartTimer();
}

bool DailyScheduler::HeldToday() const {
  const LocalDateTime now = clock_.Now();
  return heldDay_ && heldDay_->day == now.day && heldDay_->month == now.month &&
         heldDay_->year == now.year;
}

bool DailyScheduler::WaitingToRetry() const {
  return retryMinute_ && MinuteOf(clock_.Now()) < *retryMinute_;
}

std::optional<Day> DailyScheduler::DueDate() const {
  const ProgramSettings& program = host_.Program();
  if (program.otherStores.empty()) return station_.lastBackupDate;
  // Several disks: the run is due as long as one disk here lacks today's.
  const LocalDateTime now = clock_.Now();
  const std::optional<Day> oldest = OldestPresentSuccess(
      StoreAges(fs_, program, setup_.stationName, station_.lastBackupDate, now, present_), now);
  return oldest ? oldest : station_.lastBackupDate;
}

bool DailyScheduler::DueAndAllowed() {
  const ProgramSettings& program = host_.Program();
  return !HeldToday() && !WaitingToRetry() &&
         IsBackupDue(clock_.Now(), DueDate(), program.preferredHour, program.preferredMinute) &&
         PowerAllowsRun();
}

std::optional<int> DailyScheduler::WakeDelayMs() const {
  const ProgramSettings& program = host_.Program();
  if (!station_.lastBackupDate || !program.IsOpen() || HeldToday()) return std::nullopt;
  return RunDelayAfterWake(clock_.Now(), DueDate(), program.preferredHour, program.preferredMinute,
                           ReadKey(*program.file, kWakeDelayKey));
}

bool DailyScheduler::StoreThere() const {
  const ProgramSettings& program = host_.Program();
  if (!program.IsOpen() || program.backupRoot.empty()) return false;
  // Any disk of the list will do. The id is read again: a run or the
  // command line may have recorded it since.
  return !StoresHere(fs_, program, setup_.stationName, present_).empty();
}

void DailyScheduler::MountsChanged() {
  if (running_ || !StoreThere()) return;
  // One disk: any other mount (a phone, a network share) leaves the wait as
  // it is. Several: a disk that comes back may lack today's backup.
  if (!WaitingForStore() && host_.Program().otherStores.empty()) return;
  RunIfDue();
}

bool DailyScheduler::PowerAllowsRun() {
  const PowerState state = power_ != nullptr ? power_->Read() : PowerState{};
  const std::optional<std::string> refusal =
      BatteryRefusal(state, ReadKey(*host_.Program().file, kMinimumBatteryKey));
  if (!refusal) return true;
  if (batteryWait_.empty()) {
    // Told once for each wait: the tick asks again every ten minutes.
    const std::string& root = host_.Program().backupRoot;
    if (!root.empty() && !setup_.stationName.empty()) {
      const StoreLayout layout(PathRules(PathStyle::kPosix), root, setup_.stationName);
      LogActivity(fs_, layout.LogPath(), *refusal, clock_);
    }
    backupHost_.Logged(*refusal);
  }
  batteryWait_ = *refusal;
  backupHost_.SetTrayHint(*refusal);
  return false;
}

void DailyScheduler::BackUpNow() {
  if (host_.Program().backupRoot.empty() || setup_.stationName.empty() ||
      !station_.lastBackupDate || !host_.Program().IsOpen()) {
    return;
  }
  bool redo = false;
  if (IsTodayAfter(clock_.Now(), DueDate())) {
    if (dialogs_.Warning(
            VK_TR_NOOP("Messages",
                       "Une sauvegarde peut prendre beaucoup de temps...\r\nVoulez-vous "
                       "sauvegarder maintenant ?"),
            DialogButtons::kYesNo) != DialogAnswer::kYes) {
      return;
    }
  } else {
    if (dialogs_.Warning(
            VK_TR_NOOP("Messages",
                       "Une sauvegarde a déjà été effectuée aujourd'hui.\r\nVoulez-vous "
                       "recommencer et écraser l'ancienne ?"),
            DialogButtons::kYesNo) != DialogAnswer::kYes) {
      return;
    }
    redo = true;
  }
  host_.StopTimer();
  RunBackupNow(true, redo);
  host_.StartTimer();
  // The button's run is the user's own request: a run that could not start
  // must say why.
  if (lastOutcome_ == BackupOutcome::kBusy) dialogs_.Message(lastRefusal_);
}

void DailyScheduler::RunBackupNow(bool askedByUser, bool redoToday) {
  const ProgramSettings& program = host_.Program();
  // Nobody may be at the screen for a run the person did not ask for.
  Dialogs& boxes = askedByUser ? dialogs_ : static_cast<Dialogs&>(unattended_);
  BackupContext ctx(fs_, clock_, backupHost_, boxes, station_);
  ctx.backupRoot = program.backupRoot;
  ctx.stationName = setup_.stationName;
  ctx.daysKept = program.daysKept;
  ctx.workers = static_cast<unsigned>(program.workers);
  ctx.commands = program.commands;
  ctx.rotationDays = program.rotationDays;
  ctx.masterStation = setup_.masterStation;
  ctx.redoToday = redoToday;
  if (program.IsOpen()) ctx.programSettingsPath = program.file->path();
  batteryWait_.clear();
  running_ = true;
  std::vector<StoreRun> runs;
  {
    SleepHold awake(inhibitor_);
    RunThread inPlace;
    (runThread_ != nullptr ? *runThread_ : inPlace).RunAndWait([&] {
      // Asking where the store lives may wait on a share too.
      DriveInfo drives;
      ctx.storeOnNetwork = StoreIsOnNetwork(drives, program);
      runs = RunBackupOnEveryStore(ctx, program);
      // Said in the log beside the command's failure, on the run's thread:
      // the store may be a share that answers slowly.
      if (BeforeCommandFailed(runs) && !program.backupRoot.empty()) {
        const StoreLayout layout(PathRules(PathStyle::kPosix), program.backupRoot,
                                 setup_.stationName);
        LogActivity(fs_, layout.LogPath(), RetryLine(clock_.Now()), clock_);
      }
    });
  }
  running_ = false;
  lastOutcome_ = CombinedOutcome(runs);
  if (lastOutcome_ == BackupOutcome::kCancelled) {
    const LocalDateTime now = clock_.Now();
    heldDay_ = DayOf(now);
  } else if (lastOutcome_ == BackupOutcome::kCompleted ||
             lastOutcome_ == BackupOutcome::kNoChange ||
             lastOutcome_ == BackupOutcome::kCompletedWithLeftOut) {
    heldDay_.reset();
  }
  retryMinute_.reset();
  if (BeforeCommandFailed(runs)) {
    const LocalDateTime now = clock_.Now();
    retryMinute_ = MinuteOf(now) + kBeforeCommandRetryMinutes;
    backupHost_.SetTrayHint(RetryLine(now));
  }
  lastRefusal_.clear();
  lastLeftOut_ = 0;
  for (const StoreRun& run : runs) {
    if (run.outcome == lastOutcome_ && lastRefusal_.empty()) lastRefusal_ = run.refusal;
    lastLeftOut_ += run.leftOut.Problems();
  }
  if (lastOutcome_ == BackupOutcome::kBusy) {
    // Another run (varnoket-cli, or another copy on a machine sharing the
    // store) works on this station; the backup date is unchanged, so the
    // next tick tries again. The window tells the person (RunEnded).
    backupHost_.SetTrayHint(lastRefusal_);
  }
  host_.RunEnded(lastOutcome_, askedByUser);
}

}  // namespace varnoket
