// What the main window and the tray say about backups: the last success in
// the hint and the title, the warning picture, the notifications of a failed
// or too-old backup, the ALERTE setting, and a desktop without a
// notification area.
#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include "app/LastSuccess.h"
#include "app/gui/MainWindowFixture.h"
#include "app/gui/TrayPictures.h"
#include "ui/gui/ErrorWindow.h"

namespace varnoket::test {
namespace {

class BackupWatchWiringTest : public MainWindowFixture {
 protected:
  void Start(const std::string& last, const std::string& extraSettings = "") {
    WriteFile(base_ + "/docs/a.txt", "alpha");
    WriteFile(programFolder_ + "/VARNOKET.INI", "[PARAMS]\r\nRACINE=" + root_ +
                                                    "\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n" +
                                                    extraSettings);
    WriteStationSettings({base_ + "/docs"}, last);
    Make();
    ShowAndSettle();
  }

  void At(int day, int hour) { clock_.Set({2026, 3, day, hour, 0, 0, 0}); }

  std::string Title() const { return form_->windowTitle().toStdString(); }
};

TEST_F(BackupWatchWiringTest, TheHintAndTitleShowTheLastSuccessFromTheStart) {
  Start("09/03/2026");  // the clock says 10/03/2026 14:00
  const std::string text = "Dernière sauvegarde réussie : 09/03/2026 (il y a 1 jour)";
  EXPECT_EQ(form_->Tray().Hint(), text);
  EXPECT_EQ(Title(),
            "Varnoket version 1.13       Sauvegarde quotidienne de vos fichiers  -  " + text);
  EXPECT_EQ(form_->CurrentVersion(), "1.13");
  EXPECT_EQ(form_->Tray().ImageIndex(), 0);
  EXPECT_TRUE(notifications_.sent.empty());

  // A run today: "aujourd'hui" everywhere, the picture at rest.
  At(10, 14);
  form_->SchedulerTick();
  ASSERT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_EQ(form_->Tray().Hint(), "Dernière sauvegarde réussie : 10/03/2026 (aujourd'hui)");
  EXPECT_NE(Title().find("10/03/2026 (aujourd'hui)"), std::string::npos);
  EXPECT_EQ(form_->Tray().ImageIndex(), 0);
  EXPECT_TRUE(notifications_.sent.empty());
}

TEST_F(BackupWatchWiringTest, AFailedRunIsToldAtOnceAndTheIconWarnsUntilARunSucceeds) {
  Start("09/03/2026");
  // A file where today's folder must go: the run cannot create it.
  WriteFile(root_ + "/POSTE1/10032026", "in the way");
  form_->SchedulerTick();
  ASSERT_EQ(form_->LastOutcome(), BackupOutcome::kFailed);
  ASSERT_EQ(notifications_.Summaries(), std::vector<std::string>{kRunFailedSummary});
  EXPECT_EQ(notifications_.sent[0].body.rfind("La sauvegarde du 10/03/2026 a échoué.", 0), 0u);
  EXPECT_EQ(form_->Tray().ImageIndex(), kWarningTrayPicture);
  EXPECT_EQ(form_->Tray().Hint(), "Dernière sauvegarde réussie : 09/03/2026 (il y a 1 jour)");

  // Mended: the next day's run succeeds and the warning goes.
  std::filesystem::remove(root_ + "/POSTE1/10032026");
  At(11, 14);
  form_->SchedulerTick();
  ASSERT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_EQ(form_->Tray().ImageIndex(), 0);
  EXPECT_EQ(notifications_.sent.size(), 1u);
}

TEST_F(BackupWatchWiringTest, ATooOldSuccessWarnsOnTheTickNotAtStart) {
  // The backup time has not come yet today, so the tick runs nothing.
  clock_.Set({2026, 3, 10, 9, 0, 0, 0});
  Start("05/03/2026");
  EXPECT_EQ(form_->Tray().ImageIndex(), kWarningTrayPicture);
  EXPECT_TRUE(notifications_.sent.empty());
  form_->SchedulerTick();
  EXPECT_EQ(notifications_.Summaries(), std::vector<std::string>{kTooOldSummary});
  form_->SchedulerTick();
  EXPECT_EQ(notifications_.sent.size(), 1u);
}

TEST_F(BackupWatchWiringTest, TheAlertAgeComesFromTheProgramSettings) {
  clock_.Set({2026, 3, 10, 9, 0, 0, 0});
  Start("05/03/2026", "ALERTE=7\r\n");
  EXPECT_EQ(form_->AlertDays(), 7);
  EXPECT_EQ(form_->Tray().ImageIndex(), 0);
  form_->SchedulerTick();
  EXPECT_TRUE(notifications_.sent.empty());
  Destroy();
  Start("05/03/2026", "ALERTE=trois\r\n");
  EXPECT_EQ(form_->AlertDays(), kAlertDaysKey.fallback);
  Destroy();
  Start("05/03/2026", "ALERTE=0\r\n");
  EXPECT_EQ(form_->AlertDays(), 1);
}

TEST_F(BackupWatchWiringTest, WithoutANotificationServiceTheErrorWindowTells) {
  recordNotifications_ = false;
  Start("09/03/2026");
  WriteFile(root_ + "/POSTE1/10032026", "in the way");
  form_->SchedulerTick();
  ASSERT_EQ(form_->LastOutcome(), BackupOutcome::kFailed);
  EXPECT_TRUE(error_->isVisible());
  EXPECT_EQ(error_->Text().rfind(
                std::string(kRunFailedSummary) + "\r\nLa sauvegarde du 10/03/2026 a échoué.", 0),
            0u)
      << error_->Text();
}

TEST_F(BackupWatchWiringTest, WithoutANotificationAreaItIsSaidOnceAndTheWindowStays) {
  trayAvailable_ = false;
  Start("09/03/2026");
  ASSERT_EQ(notifications_.Summaries(), std::vector<std::string>{"Pas de zone de notification"});
  ASSERT_EQ(logLines_.size(), 1u);
  EXPECT_EQ(logLines_[0], notifications_.sent[0].body);
  form_->close();
  Settle();
  EXPECT_TRUE(form_->isVisible());
  form_->ShowMainWindow();
  form_->close();
  Settle();
  EXPECT_EQ(notifications_.sent.size(), 1u);
  EXPECT_EQ(logLines_.size(), 1u);
}

TEST_F(BackupWatchWiringTest, TheTrayMenuIsTheDesktopsContextMenu) {
  Start("09/03/2026");
  auto* tray = form_->Tray().findChild<QSystemTrayIcon*>();
  ASSERT_NE(tray, nullptr);
  ASSERT_EQ(tray->contextMenu(), &form_->TrayMenu());
  QStringList entries;
  for (QAction* action : form_->TrayMenu().actions()) entries << action->text();
  EXPECT_EQ(entries.mid(3), (QStringList{"&Sauvegarder maintenant", "&Configurer", "&Agrandir",
                                         "Ai&de", "&Quitter"}));
  // First, where backups stand: lines to read, not entries to choose.
  emit form_->TrayMenu().aboutToShow();
  const QList<QAction*> actions = form_->TrayMenu().actions();
  EXPECT_TRUE(actions[0]->text().startsWith("Dernière sauvegarde réussie : 09/03/2026"));
  EXPECT_TRUE(actions[1]->text().startsWith("Prochaine sauvegarde : "));
  EXPECT_FALSE(actions[0]->isEnabled());
  EXPECT_FALSE(actions[1]->isEnabled());
  EXPECT_TRUE(actions[2]->isSeparator());
}

}  // namespace
}  // namespace varnoket::test
