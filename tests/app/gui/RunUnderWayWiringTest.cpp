// What the program looks like while a run works on its own thread: its
// windows locked, its progress and stop button shown, its tray and a second
// start answered, and a stop or a quit that ends the run.
#include <QAction>
#include <QProgressBar>
#include <QPushButton>

#include "app/gui/SchedulerWiringFixture.h"
#include "support/KeptDay.h"

namespace varnoket::test {
namespace {

TEST_F(SchedulerWiringTest, DuringARunTheListsAreLockedTheWindowShowsItsProgressAndTheTrayIsBusy) {
  HoldRuns();
  Start();
  form_->show();
  config_->show();  // a second window, which must be given back its state too
  auto* showWindow = form_->findChild<QAction*>("Agrandir1");
  auto* configure = form_->findChild<QAction*>("Configurer1");
  auto* directories = form_->findChild<QWidget*>("VKListBoxRepertoires");
  auto* restore = form_->findChild<QWidget*>("BitBtnRestaurer");
  auto* bar = form_->findChild<QProgressBar*>("ProgressBarRun");
  auto* stop = form_->findChild<QPushButton*>("BitBtnStopRun");
  ASSERT_TRUE(showWindow && configure && directories && restore && bar && stop);
  EXPECT_TRUE(bar->isHidden());
  EXPECT_TRUE(stop->isHidden());
  bool seen = false;
  bool formEnabled = false, configEnabled = true, listsEnabled = true, restoreEnabled = true;
  bool showWindowEnabled = false, configureEnabled = true, stopShown = false;
  QString runLine;
  int picture = -1;
  std::string hint;
  WhileHeld([&] {
    seen = true;
    formEnabled = form_->isEnabled();
    configEnabled = config_->isEnabled();
    listsEnabled = directories->isEnabled();
    restoreEnabled = restore->isEnabled();
    showWindowEnabled = showWindow->isEnabled();
    configureEnabled = configure->isEnabled();
    stopShown = stop->isVisible() && stop->isEnabled() && bar->isVisible();
    runLine = form_->StatusLines().value(1);
    picture = form_->Tray().ImageIndex();
    hint = form_->Tray().Hint();
    // The tray brings the window back during the run, with its progress.
    form_->hide();
    form_->ShowMainWindow();
  });
  At(10, 14, 0);
  form_->SchedulerTick();
  ASSERT_TRUE(seen);
  EXPECT_TRUE(formEnabled);
  EXPECT_FALSE(configEnabled);
  EXPECT_FALSE(listsEnabled);
  EXPECT_FALSE(restoreEnabled);
  EXPECT_TRUE(showWindowEnabled);
  EXPECT_FALSE(configureEnabled);
  EXPECT_TRUE(stopShown);
  // The log is rewritten by the run: it says nothing of the previous one.
  EXPECT_EQ(runLine, "Dernière exécution : en cours");
  EXPECT_EQ(picture, 1);
  // The run's hint (it prepares, then names the folder it walks), not the
  // rest one.
  EXPECT_FALSE(hint.empty());
  EXPECT_NE(hint, "Varnoket");
  EXPECT_TRUE(form_->isVisible());

  EXPECT_TRUE(config_->isEnabled());
  EXPECT_TRUE(directories->isEnabled());
  EXPECT_TRUE(restore->isEnabled());
  EXPECT_TRUE(configure->isEnabled());
  EXPECT_TRUE(bar->isHidden());
  EXPECT_TRUE(stop->isHidden());
  EXPECT_EQ(form_->Tray().ImageIndex(), 0);
  // At rest again, the hint tells when the last backup succeeded.
  EXPECT_EQ(form_->Tray().Hint(), "Dernière sauvegarde réussie : 10/03/2026 (aujourd'hui)");
  config_->hide();
}

TEST_F(SchedulerWiringTest, ASecondStartDuringARunShowsTheWindowAtOnce) {
  HoldRuns();
  Start();
  ASSERT_FALSE(form_->isVisible());  // in the tray after the start-up checks
  bool shownDuringRun = false;
  WhileHeld([&] { shownDuringRun = form_->ShowForSecondStart(); });
  At(10, 14, 0);
  form_->SchedulerTick();
  ASSERT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(shownDuringRun);
  EXPECT_TRUE(notifications_.sent.empty());
}

TEST_F(SchedulerWiringTest, QuittingDuringARunStopsItAndTheNextStartRunsNormally) {
  HoldRuns();
  Start();
  At(10, 13, 8);
  // "Quitter" from the tray menu, which answers during the run.
  WhileHeld([this] {
    dialogs_.QueueAnswer(DialogAnswer::kOk);
    form_->Quit();
  });
  form_->SchedulerTick();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kStopped);
  EXPECT_EQ(exitCodes_, std::vector<int>{0});
  EXPECT_FALSE(DayList("10032026"));
  const std::string log = ReadFile(root_ + "/POSTE1/LASTBACKUP.LOG");
  EXPECT_NE(log.find(";Sauvegarde interrompue : le programme se termine.\r\n"), std::string::npos)
      << log;
  EXPECT_EQ(form_->LastBackupDate(), KeptDay("09/03/2026"));

  // The next start of the program runs the day's backup.
  Destroy();
  Make();
  ShowAndSettle();
  form_->SchedulerTick();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(DayList("10032026"));
}

// The person stops a run from the window: it ends at the next file, says
// so, and no run starts by itself again that day; the status block tells
// what happened and when the next backup comes.
TEST_F(SchedulerWiringTest, TheStopButtonEndsTheRunAndPutsTheNextOneOffUntilTomorrow) {
  HoldRuns();
  Start();
  form_->show();
  auto* stop = form_->findChild<QPushButton*>("BitBtnStopRun");
  ASSERT_NE(stop, nullptr);
  WhileHeld([&] { stop->click(); });
  At(10, 14, 0);
  form_->SchedulerTick();
  ASSERT_EQ(form_->LastOutcome(), BackupOutcome::kCancelled);
  EXPECT_FALSE(DayList("10032026"));
  EXPECT_EQ(notifications_.Summaries(), std::vector<std::string>{"Sauvegarde arrêtée"});
  const QStringList lines = form_->StatusLines();
  ASSERT_EQ(lines.size(), 4) << lines.join("|").toStdString();
  EXPECT_TRUE(lines[0].startsWith("Dernière sauvegarde réussie : 09/03/2026"));
  EXPECT_TRUE(lines[1].startsWith("Dernière exécution : arrêtée le 10/03/2026 14:00:00"));
  EXPECT_EQ(lines[2], "Prochaine sauvegarde : demain à 13:00");
  EXPECT_TRUE(lines[3].startsWith("Espace libre sur le disque des sauvegardes : "));
  EXPECT_FALSE(lines[3].endsWith("inconnu"));

  At(10, 14, 10);
  form_->SchedulerTick();
  EXPECT_FALSE(DayList("10032026"));
  // The button still runs one when asked; the next day's tick runs again.
  At(11, 13, 5);
  form_->SchedulerTick();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(DayList("11032026"));
  // A scheduled run that went well needs no word.
  EXPECT_EQ(notifications_.sent.size(), 1u);
  EXPECT_TRUE(form_->StatusLines()[1].startsWith("Dernière exécution : terminée le 11/03/2026"));
}

}  // namespace
}  // namespace varnoket::test
