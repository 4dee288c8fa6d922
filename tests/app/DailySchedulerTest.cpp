// The scheduler's decisions over a real store in a temporary folder: when a
// tick runs the update step and the backup, what stops it, the button's
// questions before a run, a low battery, and the machine kept awake.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/DailyScheduler.h"
#include "app/RecordingSchedulerHost.h"
#include "engine/ActivityLog.h"
#include "settings/SettingsKeys.h"
#include "support/KeptDay.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

class DailySchedulerTest : public ::testing::Test {
 protected:
  DailySchedulerTest()
      : scheduler_(store_.fs, store_.clock, store_.dialogs, store_.host, host_, store_.station,
                   SchedulerSetup{store_.stationName, true}) {
    host_.program.backupRoot = store_.root;
    host_.program.preferredHour = 13;
    host_.program.file = std::make_unique<IniFile>(store_.fs, store_.tmp / "VARNOKET.INI");
    store_.Write("a.txt", "alpha");
    store_.station.lastBackupDate = KeptDay("09/03/2026");
  }

  void At(int day, int hour, int minute) { store_.clock.Set({2026, 3, day, hour, minute, 0, 0}); }

  StoreFixture store_;
  RecordingSchedulerHost host_;
  DailyScheduler scheduler_;
};

TEST_F(DailySchedulerTest, ATickRunsTheUpdateStepThenTheBackupOnceItsTimeHasCome) {
  At(10, 12, 59);
  scheduler_.Tick();
  EXPECT_EQ(host_.events, (std::vector<std::string>{"stop", "update", "start"}));
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kNotStarted);

  host_.events.clear();
  At(10, 13, 0);
  scheduler_.Tick();
  EXPECT_EQ(host_.events, (std::vector<std::string>{"stop", "update", "start"}));
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_EQ(store_.station.lastBackupDate, KeptDay("10/03/2026"));
  EXPECT_EQ(store_.Days(), std::vector<std::string>{"10032026"});
}

TEST_F(DailySchedulerTest, NothingHappensBeforeTheStationIsLoadedOrWithoutProgramSettings) {
  At(10, 14, 0);
  store_.station.lastBackupDate.reset();
  scheduler_.Tick();
  store_.station.lastBackupDate = KeptDay("09/03/2026");
  host_.program.file.reset();
  scheduler_.Tick();
  EXPECT_TRUE(host_.events.empty());
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kNotStarted);
  EXPECT_TRUE(store_.Days().empty());
}

TEST_F(DailySchedulerTest, AnUpdateStepThatStopsOrEndsTheProgramLeavesTheTimerAndTheBackupAlone) {
  At(10, 14, 0);
  for (const auto result : {UpdateTickResult::kStopTick, UpdateTickResult::kProcessEnded}) {
    host_.events.clear();
    host_.updateResult = result;
    scheduler_.Tick();
    // The update step starts the timer itself after a failure it shows.
    EXPECT_EQ(host_.events, (std::vector<std::string>{"stop", "update"}));
    EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kNotStarted);
  }
  EXPECT_TRUE(store_.Days().empty());
}

TEST_F(DailySchedulerTest, TheButtonAsksFirstAndRunsWithTheTimerStopped) {
  At(10, 9, 0);
  store_.dialogs.QueueAnswer(DialogAnswer::kNo);
  scheduler_.BackUpNow();
  ASSERT_EQ(store_.dialogs.calls().size(), 1u);
  EXPECT_EQ(store_.dialogs.calls()[0].buttons, DialogButtons::kYesNo);
  EXPECT_TRUE(host_.events.empty());

  scheduler_.BackUpNow();  // Yes
  EXPECT_EQ(host_.events, (std::vector<std::string>{"stop", "start"}));
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kCompleted);

  // Today's backup exists: the second question; Yes backs up again.
  store_.dialogs.Clear();
  store_.Write("a.txt", "changed");
  scheduler_.BackUpNow();
  EXPECT_EQ(store_.dialogs.Texts(DialogKind::Warning),
            std::vector<std::string>{
                "Une sauvegarde a déjà été effectuée aujourd'hui.\r\nVoulez-vous recommencer et "
                "écraser l'ancienne ?"});
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_EQ(store_.Days(), std::vector<std::string>{"10032026"});
}

TEST_F(DailySchedulerTest, TheButtonDoesNothingWithoutRootStationOrLoadedSet) {
  At(10, 9, 0);
  host_.program.backupRoot.clear();
  scheduler_.BackUpNow();
  host_.program.backupRoot = store_.root;
  store_.station.lastBackupDate.reset();
  scheduler_.BackUpNow();
  store_.station.lastBackupDate = KeptDay("09/03/2026");
  DailyScheduler unnamed(store_.fs, store_.clock, store_.dialogs, store_.host, host_,
                         store_.station, SchedulerSetup{"", true});
  unnamed.BackUpNow();
  EXPECT_TRUE(store_.dialogs.calls().empty());
  EXPECT_TRUE(host_.events.empty());
}

TEST_F(DailySchedulerTest, EveryRunItStartsIsReportedWithWhoAskedForIt) {
  At(10, 12, 0);
  scheduler_.Tick();  // not due: no run, nothing reported
  EXPECT_TRUE(host_.ended.empty());
  At(10, 13, 0);
  scheduler_.Tick();
  scheduler_.BackUpNow();  // Yes to both questions
  using Ended = std::pair<BackupOutcome, bool>;
  EXPECT_EQ(host_.ended, (std::vector<Ended>{{BackupOutcome::kCompleted, false},
                                             {BackupOutcome::kCompleted, true}}));
}

TEST_F(DailySchedulerTest, OnlyTheButtonsRunOpensBoxesTheOthersShowTheirErrorsWithoutWaiting) {
  // A file stands where today's folder goes, and a listed folder is gone:
  // each run stops on one of them.
  std::ofstream(store_.root + "/POSTE1/10032026") << "in the way";
  At(10, 13, 0);
  scheduler_.Tick();
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kFailed);
  EXPECT_TRUE(store_.dialogs.calls().empty());
  ASSERT_EQ(store_.host.errorWindow.size(), 1u);
  EXPECT_EQ(store_.host.errorWindow[0].rfind(
                "Impossible de créer le répertoire de sauvegarde du jour (" + store_.root, 0),
            0u)
      << store_.host.errorWindow[0];
  EXPECT_EQ(host_.events, (std::vector<std::string>{"stop", "update", "start"}));

  store_.station.backupDirectories.push_back(store_.tmp / "gone");
  scheduler_.RunIfDue();  // after a wake or the disk's arrival: nobody asked either
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kFailed);
  EXPECT_TRUE(store_.dialogs.calls().empty());
  ASSERT_EQ(store_.host.errorWindow.size(), 2u);
  EXPECT_NE(store_.host.errorWindow[1].find("a été déplacé ou supprimé"), std::string::npos);

  // The button's run is the person's own: the same failure is a box there.
  scheduler_.BackUpNow();
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kFailed);
  EXPECT_EQ(store_.dialogs.Count(DialogKind::Warning), 2u);  // the question, then the failure
  EXPECT_NE(store_.dialogs.Texts(DialogKind::Warning)[1].find("a été déplacé ou supprimé"),
            std::string::npos);
  using Ended = std::pair<BackupOutcome, bool>;
  EXPECT_EQ(host_.ended, (std::vector<Ended>{{BackupOutcome::kFailed, false},
                                             {BackupOutcome::kFailed, false},
                                             {BackupOutcome::kFailed, true}}));
}

class FixedPower final : public PowerSource {
 public:
  PowerState Read() override { return state; }
  PowerState state;
};

// Records holds and releases, and whether sleep is held right now.
class RecordingInhibitor final : public SleepInhibitor {
 public:
  bool Hold() override {
    held = true;
    events.push_back("hold");
    return true;
  }
  void Release() override {
    held = false;
    events.push_back("release");
  }
  bool held = false;
  std::vector<std::string> events;
};

// The engine's host, seeing whether sleep was held at each line the run
// logged, and asking for another run from inside the run (as a mount or a
// wake event delivered by the run's message pump would).
class AwakeCheckingHost final : public RecordingHost {
 public:
  void Logged(const std::string& message) override {
    RecordingHost::Logged(message);
    heldAtEachLine.push_back(inhibitor != nullptr && inhibitor->held);
    if (scheduler != nullptr) scheduler->RunIfDue();
  }
  RecordingInhibitor* inhibitor = nullptr;
  DailyScheduler* scheduler = nullptr;
  std::vector<bool> heldAtEachLine;
};

class PowerAwareSchedulerTest : public DailySchedulerTest {
 protected:
  PowerAwareSchedulerTest() {
    scheduler_.SetPowerSource(&power_);
    power_.state = PowerState{true, 20.0};
  }
  std::string LogText() { return ReadWholeFile(store_.fs, store_.root + "/POSTE1/LASTBACKUP.LOG"); }

  FixedPower power_;
};

TEST_F(PowerAwareSchedulerTest, ADueRunWaitsForTheChargerBelowTheLevelAndSaysSoOnce) {
  At(10, 13, 0);
  scheduler_.Tick();
  scheduler_.RunIfDue();
  scheduler_.Tick();
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kNotStarted);
  EXPECT_TRUE(host_.ended.empty());
  EXPECT_TRUE(store_.Days().empty());
  const std::string refusal = "Sauvegarde reportée : sur batterie (20 %, moins de 30 %)";
  EXPECT_EQ(scheduler_.BatteryWait(), refusal);
  EXPECT_EQ(store_.host.logged, std::vector<std::string>{refusal});
  const std::string log = LogText();
  EXPECT_EQ(log.rfind("DATE;MESSAGE\r\n", 0), 0u) << log;
  EXPECT_EQ(log.find(refusal), log.rfind(refusal)) << "logged once: " << log;
  EXPECT_NE(log.find(refusal), std::string::npos);
  ASSERT_FALSE(store_.host.hints.empty());
  EXPECT_EQ(store_.host.hints.back(), refusal);

  // Plugged in: the next tick runs and the wait is over.
  power_.state = PowerState{false, 20.0};
  scheduler_.Tick();
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(scheduler_.BatteryWait().empty());
  EXPECT_EQ(store_.Days(), std::vector<std::string>{"10032026"});
}

TEST_F(PowerAwareSchedulerTest, EnoughChargeALevelOfZeroAndTheButtonAllRunOnBattery) {
  // The button: the person's own choice.
  At(10, 9, 0);
  scheduler_.BackUpNow();
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kCompleted);

  // A level of 0 never waits.
  WriteKey(*host_.program.file, kMinimumBatteryKey, "0");
  At(11, 13, 0);
  store_.Write("a.txt", "changed");
  scheduler_.Tick();
  EXPECT_EQ(store_.station.lastBackupDate, KeptDay("11/03/2026"));

  // At the level itself the charge is enough.
  WriteKey(*host_.program.file, kMinimumBatteryKey, "30");
  power_.state = PowerState{true, 30.0};
  At(12, 13, 0);
  store_.Write("a.txt", "again");
  scheduler_.Tick();
  EXPECT_EQ(store_.station.lastBackupDate, KeptDay("12/03/2026"));
  EXPECT_TRUE(scheduler_.BatteryWait().empty());
}

TEST_F(DailySchedulerTest, SleepIsHeldForTheWholeRunOnlyAndARunAskedForDuringItIsIgnored) {
  RecordingInhibitor inhibitor;
  AwakeCheckingHost engineHost;
  DailyScheduler scheduler(store_.fs, store_.clock, store_.dialogs, engineHost, host_,
                           store_.station, SchedulerSetup{store_.stationName, true});
  scheduler.SetSleepInhibitor(&inhibitor);
  engineHost.inhibitor = &inhibitor;
  engineHost.scheduler = &scheduler;

  At(10, 12, 0);
  scheduler.RunIfDue();  // not due: nothing held
  EXPECT_TRUE(inhibitor.events.empty());

  At(10, 13, 0);
  scheduler.RunIfDue();
  EXPECT_EQ(scheduler.LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_EQ(host_.ended.size(), 1u) << "one run, however often it was asked for during it";
  ASSERT_FALSE(engineHost.heldAtEachLine.empty());
  EXPECT_EQ(std::count(engineHost.heldAtEachLine.begin(), engineHost.heldAtEachLine.end(), false),
            0);
  EXPECT_EQ(inhibitor.events, (std::vector<std::string>{"hold", "release"}));
  EXPECT_FALSE(scheduler.Running());

  // A run that fails releases too: a file stands where tomorrow's folder goes.
  At(11, 13, 0);
  store_.Write("a.txt", "changed");
  std::ofstream(store_.root + "/POSTE1/11032026") << "in the way";
  scheduler.Tick();
  EXPECT_EQ(scheduler.LastOutcome(), BackupOutcome::kFailed);
  EXPECT_EQ(inhibitor.events, (std::vector<std::string>{"hold", "release", "hold", "release"}));
  EXPECT_FALSE(inhibitor.held);
}

TEST_F(DailySchedulerTest, AfterAWakeTheDueRunWaitsTheConfiguredMinutes) {
  At(10, 13, 30);
  EXPECT_EQ(scheduler_.WakeDelayMs(), 120000);  // two minutes when DELAI_REVEIL is absent
  WriteKey(*host_.program.file, kWakeDelayKey, "5");
  EXPECT_EQ(scheduler_.WakeDelayMs(), 300000);
  scheduler_.RunIfDue();
  ASSERT_EQ(scheduler_.LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_EQ(scheduler_.WakeDelayMs(), std::nullopt) << "today's run is made";
  store_.station.lastBackupDate.reset();  // the set is not loaded
  EXPECT_EQ(scheduler_.WakeDelayMs(), std::nullopt);
}

TEST_F(DailySchedulerTest, ABeforeCommandThatFailsIsTriedAgainAnHourLaterNotAtEveryTick) {
  host_.program.commands.before = "exit 3";
  const auto failures = [this] {
    return std::count_if(store_.host.logged.begin(), store_.host.logged.end(),
                         [](const std::string& line) {
                           return line.rfind("ERREUR: la commande avant la sauvegarde", 0) == 0;
                         });
  };
  At(10, 14, 0);
  scheduler_.Tick();
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kFailed);
  EXPECT_EQ(failures(), 1);
  EXPECT_TRUE(scheduler_.WaitingToRetry());
  ASSERT_FALSE(store_.host.hints.empty());
  EXPECT_EQ(store_.host.hints.back(), "Nouvel essai de la sauvegarde à 15:00.");
  const StoreLayout layout(PathRules(PathStyle::kPosix), store_.root, store_.stationName);
  EXPECT_NE(ReadFile(layout.LogPath()).find("Nouvel essai de la sauvegarde à 15:00."),
            std::string::npos);

  // The ticks of the hour start nothing; the person's button still runs.
  At(10, 14, 10);
  scheduler_.Tick();
  At(10, 14, 59);
  scheduler_.Tick();
  EXPECT_EQ(failures(), 1);
  store_.dialogs.QueueAnswer(DialogAnswer::kYes);
  scheduler_.BackUpNow();
  EXPECT_EQ(failures(), 2);

  // An hour after the latest failure (the button's, at 14:59) the tick
  // tries again, and a command that works again lets the day's run through.
  At(10, 15, 50);
  scheduler_.Tick();
  EXPECT_EQ(failures(), 2);
  host_.program.commands.before = "true";
  At(10, 16, 0);
  scheduler_.Tick();
  EXPECT_EQ(failures(), 2);
  EXPECT_EQ(scheduler_.LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_FALSE(scheduler_.WaitingToRetry());
  EXPECT_EQ(store_.station.lastBackupDate, KeptDay("10/03/2026"));
}

}  // namespace
}  // namespace varnoket::test
