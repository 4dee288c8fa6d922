// The daily scheduler: what each tick of the program's timer does (the update
// step, then the day's backup once its time has come) and what the "save
// now" button does (its questions, then the run). The timer itself stays in
// the window; it calls Tick and is stopped and started through
// SchedulerHost while a run works. A scheduled run waits for the charger on a
// low battery; every run keeps the machine from sleeping until it ends. A run
// that found the store's disk absent starts again when the disk comes. Only
// the button's run may open a modal box: the others show their errors in the
// error window (UnattendedDialogs), so the timer never waits for an answer.
#pragma once

#include <optional>
#include <string>

#include "app/UnattendedDialogs.h"
#include "desktop/PowerSource.h"
#include "desktop/SleepInhibitor.h"
#include "engine/BackupHost.h"
#include "engine/BackupRun.h"
#include "engine/StoreChoice.h"
#include "engine/StoreLayout.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/RunThread.h"
#include "settings/ProgramSettings.h"
#include "settings/StationSettings.h"
#include "update/UpdateCheck.h"

namespace varnoket {

// The period of the scheduler's timer: ten minutes.
inline constexpr int kSchedulerPeriodMs = 600000;

// What the scheduler needs from the window that owns the timer.
class SchedulerHost {
 public:
  virtual ~SchedulerHost() = default;

  // The program settings as the configuration holds them now.
  virtual const ProgramSettings& Program() const = 0;
  virtual void StopTimer() = 0;
  virtual void StartTimer() = 0;
  // The tick's update step (exchange-file test or daily version check).
  virtual UpdateTickResult RunUpdateStep() = 0;
  // Every run the scheduler started has ended (the tick's or the button's:
  // `askedByUser`), so the window can tell how it went.
  virtual void RunEnded(BackupOutcome /*outcome*/, bool /*askedByUser*/) {}
};

// Where the runs go: this machine's station and whether it owns the program
// folder.
struct SchedulerSetup {
  std::string stationName;
  bool masterStation = false;
};

class DailyScheduler {
 public:
  DailyScheduler(FileSystem& fs, const Clock& clock, Dialogs& dialogs, BackupHost& backupHost,
                 SchedulerHost& host, StationSettings& station, SchedulerSetup setup)
      : fs_(fs),
        clock_(clock),
        dialogs_(dialogs),
        backupHost_(backupHost),
        unattended_(backupHost),
        host_(host),
        station_(station),
        setup_(std::move(setup)) {}

  // One tick of the timer: nothing until the station is loaded and the
  // program settings are open; else the update step, then the backup when
  // it is due.
  void Tick();
  // The "save now" button: asks first (a second question when today's
  // backup exists), then runs, and says why when the run could not start.
  void BackUpNow();
  // The day's run when it is due and the battery allows it, without the
  // update step: what a tick does after it, and what the machine's waking or
  // the store's disk arriving ask for. Nothing while a run works.
  void RunIfDue();

  // The machine has woken: in how many milliseconds the day's run should
  // start (the configured wait after waking), or nothing when none is due.
  std::optional<int> WakeDelayMs() const;
  // The mount table changed. When the latest run found the store's disk
  // absent and the store is there now, the due run starts at once; with
  // several disks, when a disk here lacks today's backup.
  void MountsChanged();
  bool WaitingForStore() const { return lastOutcome_ == BackupOutcome::kStoreAbsent; }
  // Whether the configured store is there now: its marker, or this
  // station's backups from before markers (reads only).
  bool StoreThere() const;

  // Where the power state comes from and what keeps the machine awake during
  // a run (not owned; none: mains power, nothing held).
  void SetPowerSource(PowerSource* power) { power_ = power; }
  void SetSleepInhibitor(SleepInhibitor* inhibitor) { inhibitor_ = inhibitor; }
  // Where the run's work is done (not owned; none: in place). The backup
  // host and the boxes must then take calls from that thread.
  void SetRunThread(RunThread* thread) { runThread_ = thread; }
  // How the scheduler asks whether a disk of the list is here (none: of
  // the disk at once).
  void SetStorePresence(StorePresenceCheck present) { present_ = std::move(present); }
  // Why the latest due run waits for the charger; empty once a run started.
  const std::string& BatteryWait() const { return batteryWait_; }
  bool Running() const { return running_; }
  // The person stopped today's run: no run starts by itself again today
  // (the button still runs one).
  bool HeldToday() const;
  // The latest run did not take place because its before-command failed:
  // no run starts by itself for an hour (the button still runs one), so a
  // command that keeps failing is told once an hour, not at every tick.
  bool WaitingToRetry() const;

  // The outcome of the latest run started here.
  BackupOutcome LastOutcome() const { return lastOutcome_; }
  // Why the latest run did not start, when another run held the station.
  const std::string& LastRefusal() const { return lastRefusal_; }
  // How many entries of the set the latest run left out by a problem.
  int LastLeftOut() const { return lastLeftOut_; }

 private:
  // `redoToday`: the user chose to back up again today.
  void RunBackupNow(bool askedByUser, bool redoToday = false);
  // The day's run is due and the battery allows it.
  bool DueAndAllowed();
  // The last backup a due run counts from: the station's, or with several
  // disks the oldest among those here.
  std::optional<Day> DueDate() const;
  // True when the battery allows a scheduled run; else says why, once for
  // each wait (one activity log line and the tray hint).
  bool PowerAllowsRun();

  FileSystem& fs_;
  const Clock& clock_;
  Dialogs& dialogs_;
  BackupHost& backupHost_;
  // The boxes of the runs nobody asked for: never modal.
  UnattendedDialogs unattended_;
  SchedulerHost& host_;
  StationSettings& station_;
  SchedulerSetup setup_;
  BackupOutcome lastOutcome_ = BackupOutcome::kNotStarted;
  std::string lastRefusal_;  // why the latest run did not start, if it did not
  int lastLeftOut_ = 0;
  PowerSource* power_ = nullptr;
  SleepInhibitor* inhibitor_ = nullptr;
  RunThread* runThread_ = nullptr;
  StorePresenceCheck present_;
  std::string batteryWait_;
  bool running_ = false;
  std::optional<Day> heldDay_;  // the day whose run the person stopped
  // The minute (days and minutes counted together) from which a run whose
  // before-command failed may start by itself again.
  std::optional<long> retryMinute_;
};

}  // namespace varnoket
