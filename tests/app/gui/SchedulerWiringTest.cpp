// The timer's tick and the "save now" button, over a real backup into a
// temporary store: when a run starts, the questions before it, and how its
// end is told.
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QEventLoop>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "app/gui/SchedulerWiringFixture.h"
#include "support/KeptDay.h"

namespace varnoket::test {
namespace {

TEST_F(SchedulerWiringTest, TheTickRunsOnceADayFromTheConfiguredTime) {
  Start();
  EXPECT_EQ(form_->SchedulerTimer().interval(), 600000);
  EXPECT_TRUE(form_->SchedulerTimer().isActive());

  At(10, 12, 58);
  form_->SchedulerTick();
  EXPECT_FALSE(DayList("10032026"));
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kNotStarted);

  At(10, 13, 8);
  form_->SchedulerTick();
  EXPECT_TRUE(DayList("10032026"));
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_EQ(form_->LastBackupDate(), KeptDay("10/03/2026"));
  EXPECT_TRUE(form_->SchedulerTimer().isActive());

  // Later the same day: nothing more.
  WriteFile(base_ + "/docs/a.txt", "changed");
  At(10, 23, 50);
  form_->SchedulerTick();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_FALSE(DayList("11032026"));

  // Past midnight but before the hour: still nothing; at the hour, the run.
  At(11, 0, 5);
  form_->SchedulerTick();
  EXPECT_FALSE(DayList("11032026"));
  At(11, 13, 0);
  form_->SchedulerTick();
  EXPECT_TRUE(DayList("11032026"));
}

TEST_F(SchedulerWiringTest, AMidnightTimeRunsAtTheFirstTickOfEachDay) {
  Start(0, 0);
  At(10, 0, 1);
  form_->SchedulerTick();
  EXPECT_TRUE(DayList("10032026"));
  // A clock set back before the last backup runs nothing.
  At(9, 15, 0);
  form_->SchedulerTick();
  EXPECT_FALSE(DayList("09032026"));
}

TEST_F(SchedulerWiringTest, TheButtonAsksBeforeARunAndAgainBeforeRedoingToday) {
  Start();
  At(10, 9, 0);
  dialogs_.QueueAnswer(DialogAnswer::kNo);
  form_->BackUpNow();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Warning),
            std::vector<std::string>{
                "Une sauvegarde peut prendre beaucoup de temps...\r\nVoulez-vous sauvegarder "
                "maintenant ?"});
  EXPECT_EQ(dialogs_.calls()[0].buttons, DialogButtons::kYesNo);
  EXPECT_FALSE(DayList("10032026"));

  dialogs_.Clear();
  form_->show();
  form_->BackUpNow();  // Yes
  Settle();
  EXPECT_TRUE(DayList("10032026"));
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(form_->isVisible());  // it stays, showing the run
  EXPECT_TRUE(form_->SchedulerTimer().isActive());

  // Again the same day: the second question; Yes drops today's list, so the
  // run copies everything again instead of finding no change.
  dialogs_.Clear();
  dialogs_.QueueAnswer(DialogAnswer::kNo);
  form_->BackUpNow();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Warning),
            std::vector<std::string>{
                "Une sauvegarde a déjà été effectuée aujourd'hui.\r\nVoulez-vous recommencer et "
                "écraser l'ancienne ?"});
  EXPECT_TRUE(DayList("10032026"));
  form_->BackUpNow();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(DayList("10032026"));
}

// The tray's "Sauvegarder maintenant" is the window's button: the same
// question, the same run, and out of reach while a run goes on.
TEST_F(SchedulerWiringTest, TheTrayMenuBacksUpNowAsTheButtonDoes) {
  Start();
  auto* menu = form_->findChild<QMenu*>("PopupMenu1");
  auto* backUpNow = form_->findChild<QAction*>("SauvegarderMaintenant1");
  ASSERT_NE(menu, nullptr);
  ASSERT_NE(backUpNow, nullptr);
  // After the two status lines and their separator.
  ASSERT_EQ(menu->actions().at(3), backUpNow);
  At(10, 9, 0);
  bool enabledDuringRun = true;
  QTimer::singleShot(0, [&] {
    emit menu->aboutToShow();
    enabledDuringRun = backUpNow->isEnabled();
    backUpNow->trigger();  // ignored: a run is under way
  });
  emit menu->aboutToShow();
  ASSERT_TRUE(backUpNow->isEnabled());
  backUpNow->trigger();  // the fake boxes answer Yes
  Settle();
  EXPECT_TRUE(DayList("10032026"));
  EXPECT_FALSE(enabledDuringRun);
  EXPECT_EQ(dialogs_.Texts(DialogKind::Warning),
            std::vector<std::string>{
                "Une sauvegarde peut prendre beaucoup de temps...\r\nVoulez-vous sauvegarder "
                "maintenant ?"});
  emit menu->aboutToShow();
  EXPECT_TRUE(backUpNow->isEnabled());
}

TEST_F(SchedulerWiringTest, ErrorsOfTheRunReachTheUserAndKeepTheDate) {
  Start();
  // The day folder's place is taken by a file: the scheduled run opens no
  // box, the error window says it, the notification and the log too.
  WriteFile(root_ + "/POSTE1/10032026", "in the way");
  At(10, 14, 0);
  form_->SchedulerTick();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kFailed);
  EXPECT_EQ(form_->LastBackupDate(), KeptDay("09/03/2026"));
  EXPECT_TRUE(dialogs_.calls().empty());
  EXPECT_TRUE(error_->isVisible());
  const std::string reason = "Impossible de créer le répertoire de sauvegarde du jour (" + root_;
  EXPECT_EQ(error_->Text().rfind(reason, 0), 0u) << error_->Text();
  ASSERT_EQ(notifications_.sent.size(), 1u);
  EXPECT_NE(notifications_.sent[0].body.find(reason), std::string::npos);
  ASSERT_EQ(logLines_.size(), 1u);
  EXPECT_EQ(logLines_[0].rfind("La sauvegarde programmée a échoué : " + reason, 0), 0u)
      << logLines_[0];
  EXPECT_TRUE(form_->SchedulerTimer().isActive());

  // The same failure from "Sauvegarder Maintenant": the person is there, a box.
  error_->hide();
  form_->BackUpNow();
  EXPECT_EQ(dialogs_.Count(DialogKind::Error), 1u);
  EXPECT_EQ(dialogs_.Texts(DialogKind::Error)[0].rfind(reason, 0), 0u);
  EXPECT_EQ(logLines_.size(), 1u);

  // A stored file that cannot be written: the error window, without waiting.
  std::filesystem::remove(root_ + "/POSTE1/10032026");
  WriteFile(root_ + "/POSTE1/10032026/_", "in the way");
  form_->SchedulerTick();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kFailed);
  EXPECT_TRUE(error_->isVisible());
  EXPECT_EQ(error_->Text().rfind("ERREUR: impossible d'écrire le fichier compressé (", 0), 0u)
      << error_->Text();
  EXPECT_EQ(form_->LastBackupDate(), KeptDay("09/03/2026"));
}

// Message boxes nobody answers: each modal call runs its own event loop, as
// a real box does, until the test lets it go.
class UnansweredDialogs final : public FakeDialogs {
 public:
  DialogAnswer Error(const std::string& text, DialogButtons buttons) override {
    Hold();
    return FakeDialogs::Error(text, buttons);
  }
  DialogAnswer Warning(const std::string& text, DialogButtons buttons) override {
    Hold();
    return FakeDialogs::Warning(text, buttons);
  }
  void Information(const std::string& text) override {
    Hold();
    FakeDialogs::Information(text);
  }
  void Message(const std::string& text) override {
    Hold();
    FakeDialogs::Message(text);
  }

  // Called inside the box's loop once it is up.
  std::function<void()> whileUp;
  int opened = 0;
  bool up = false;

  void Release() { loop_.quit(); }

 private:
  void Hold() {
    ++opened;
    up = true;
    if (whileUp) QTimer::singleShot(0, whileUp);
    loop_.exec();
    up = false;
  }
  QEventLoop loop_;
};

class UnansweredBoxTest : public SchedulerWiringTest {
 protected:
  UnansweredBoxTest() { boxes_ = &unanswered_; }

  // Runs the event loop, the scheduler's timer ticking every few
  // milliseconds, until `done` holds; a minute at most, so a timer held by
  // a box fails the test instead of hanging it.
  bool TickUntil(const std::function<bool()>& done) {
    form_->SchedulerTimer().setInterval(5);
    form_->SchedulerTimer().start();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
      if (done()) loop.quit();
    });
    check.start(5);
    QTimer::singleShot(60000, &loop, [&] {
      unanswered_.Release();  // a box still up must not keep the loop
      loop.quit();
    });
    loop.exec();
    return done();
  }

  size_t FailureLines() const {
    return static_cast<size_t>(std::count_if(logLines_.begin(), logLines_.end(), [](auto& line) {
      return line.rfind("La sauvegarde programmée a échoué", 0) == 0;
    }));
  }

  UnansweredDialogs unanswered_;
};

TEST_F(UnansweredBoxTest, AFailingScheduledRunIsToldAtOnceAndTheNextTicksRun) {
  Start();
  WriteFile(root_ + "/POSTE1/10032026", "in the way");
  At(10, 14, 0);
  // Told at once, and the timer goes on: the next tick tries again.
  EXPECT_TRUE(TickUntil([&] { return FailureLines() >= 2 && !notifications_.sent.empty(); }))
      << FailureLines() << " failed run(s) logged";
  EXPECT_EQ(unanswered_.opened, 0);
  ASSERT_FALSE(notifications_.sent.empty());
  EXPECT_EQ(notifications_.sent[0].summary, kRunFailedSummary);
  EXPECT_TRUE(error_->isVisible());

  // Mended: the next day's run is made by a later tick.
  std::filesystem::remove(root_ + "/POSTE1/10032026");
  At(11, 14, 0);
  EXPECT_TRUE(TickUntil([&] { return DayList("11032026"); }));
  EXPECT_EQ(form_->LastBackupDate(), KeptDay("11/03/2026"));
}

TEST_F(UnansweredBoxTest, ABoxLeftOpenDoesNotStopTheDaysRun) {
  Start();
  // The person asked to quit and went away: the question stays up.
  bool ranUnderTheBox = false;
  unanswered_.whileUp = [&] {
    At(10, 14, 0);
    ranUnderTheBox = TickUntil([&] { return DayList("10032026"); }) && unanswered_.up;
    unanswered_.QueueAnswer(DialogAnswer::kCancel);
    unanswered_.Release();
  };
  form_->Quit();
  EXPECT_EQ(unanswered_.opened, 1);
  EXPECT_TRUE(ranUnderTheBox);
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(exitCodes_.empty());  // Cancel: the program goes on
}

TEST_F(SchedulerWiringTest, TheLogAndTheRestoreWindowOpenFromTheMainWindow) {
  Start();
  At(10, 14, 0);
  form_->SchedulerTick();
  ASSERT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);

  form_->OpenLogViewer();
  EXPECT_TRUE(viewLog_->isVisible());
  auto* grid = viewLog_->findChild<QTableWidget*>("StringGrid1");
  ASSERT_NE(grid, nullptr);
  ASSERT_GE(grid->rowCount(), 3);
  EXPECT_EQ(grid->item(0, 1)->text().toStdString(), "Préparation de la sauvegarde ...");

  // The restore window lists the day just made.
  std::vector<std::string> days;
  WhenRestoreReady([&] {
    auto* combo = restore_->findChild<QComboBox*>("VKComboJour");
    for (int i = 0; combo != nullptr && i < combo->count(); ++i) {
      days.push_back(combo->itemText(i).toStdString());
    }
    restore_->CloseWindow();
  });
  form_->OpenRestoreWindow();
  EXPECT_EQ(days, std::vector<std::string>{"10/03/2026"});
  EXPECT_TRUE(dialogs_.calls().empty());
}

TEST_F(SchedulerWiringTest, TheButtonSaysWhoHoldsTheStationAndTheTickTriesAgainLater) {
  Start();
  At(10, 9, 0);
  // varnoket-cli (another process) is backing up this station.
  int ready[2];
  int release[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(release), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    std::unique_ptr<FileLock> lock;
    const bool held = DefaultFileSystem().LockFile(root_ + "/POSTE1/VARNOKET.LOCK", false, lock) ==
                          LockStatus::kAcquired &&
                      lock->WriteHolder("host=ailleurs\r\npid=4242\r\n");
    const char ok = held ? 1 : 0;
    char byte;
    if (::write(ready[1], &ok, 1) != 1 || ::read(release[0], &byte, 1) != 1) _exit(2);
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 1);

  dialogs_.Clear();
  form_->BackUpNow();  // Yes
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kBusy);
  const auto messages = dialogs_.Texts(DialogKind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("déjà en cours (machine ailleurs (?), processus 4242"),
            std::string::npos)
      << messages[0];
  EXPECT_FALSE(DayList("10032026"));

  At(10, 13, 10);
  form_->SchedulerTick();  // still held: nothing shown, tried again later
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kBusy);
  EXPECT_EQ(dialogs_.Count(DialogKind::Message), 1u);

  const char go = 1;
  ASSERT_EQ(::write(release[1], &go, 1), 1);
  ASSERT_EQ(::waitpid(holder, nullptr, 0), holder);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
  At(10, 13, 20);
  form_->SchedulerTick();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(DayList("10032026"));
}

TEST_F(SchedulerWiringTest, AnotherMachinesStationIsNeitherShownNorSavedNorWritten) {
  WriteFile(base_ + "/docs/a.txt", "alpha");
  WriteProgramSettings(root_);
  WriteStationSettings({base_ + "/docs"});
  const std::string marker = "machine=0123456789abcdef0123456789abcdef\r\nhost=ancien\r\n";
  WriteFile(root_ + "/POSTE1/MACHINE.ID", marker);
  const std::string settings = ReadFile(StationIni());
  Make();
  ShowAndSettle();
  const auto errors = dialogs_.Texts(DialogKind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("appartient à une autre machine (ancien, identifiant"),
            std::string::npos)
      << errors[0];
  auto* list = form_->findChild<QListWidget*>("VKListBoxRepertoires");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), 0);

  At(10, 14, 0);
  form_->SchedulerTick();
  EXPECT_FALSE(DayList("10032026"));
  EXPECT_EQ(ReadFile(StationIni()), settings);
  EXPECT_EQ(ReadFile(root_ + "/POSTE1/MACHINE.ID"), marker);
}

// Two disks in turn: the tick writes both, the tray says each one's last
// backup, and a disk away for three times the warning's age is reminded of
// once a day.
TEST_F(SchedulerWiringTest, WithTwoDisksEachOnesLastBackupIsShownAndOneLongAwayIsReminded) {
  const std::string diskB = base_ + "/diskB";
  ASSERT_TRUE(MakeWithTwoDisks(diskB));
  dialogs_.Clear();

  At(10, 14, 0);
  form_->SchedulerTick();
  ASSERT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(DayList("10032026"));
  EXPECT_TRUE(std::filesystem::exists(diskB + "/POSTE1/10032026/filelist.txt"));
  emit form_->TrayMenu().aboutToShow();
  EXPECT_EQ(
      form_->TrayStatusLines(),
      (QStringList{"Dernière sauvegarde réussie : 10/03/2026 (aujourd'hui)",
                   "Prochaine sauvegarde : demain à 13:00", "Disque A : sauvegardé aujourd'hui",
                   "Disque B : sauvegardé aujourd'hui"}));

  // B goes away; ten days later A alone is backed up, and B is reminded of.
  std::filesystem::remove_all(diskB);
  std::filesystem::create_directories(diskB);
  At(20, 14, 0);
  form_->SchedulerTick();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kNoChange);
  EXPECT_TRUE(std::filesystem::is_empty(diskB));
  ASSERT_EQ(notifications_.Summaries(),
            std::vector<std::string>{"Disque de sauvegarde à brancher"});
  EXPECT_EQ(notifications_.sent[0].body,
            "Rappel : le disque B n'a reçu aucune sauvegarde depuis 10 jours ; branchez-le.");
  At(20, 14, 10);
  form_->SchedulerTick();
  EXPECT_EQ(notifications_.sent.size(), 1u);
  emit form_->TrayMenu().aboutToShow();
  EXPECT_EQ(form_->TrayStatusLines().value(3), "Disque B : sauvegardé il y a 10 jours");
}

// A run the person started ends with a notification of how it went.
TEST_F(SchedulerWiringTest, TheEndOfARunThePersonStartedIsNotified) {
  Start();
  At(10, 9, 0);
  form_->BackUpNow();  // the fake boxes answer Yes
  Settle();
  ASSERT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  ASSERT_EQ(notifications_.sent.size(), 1u);
  EXPECT_EQ(notifications_.sent[0].summary, "Sauvegarde terminée");
  EXPECT_EQ(notifications_.sent[0].body, "La sauvegarde du 10/03/2026 est faite.");
  emit form_->TrayMenu().aboutToShow();
  EXPECT_EQ(form_->TrayStatusLines(),
            (QStringList{"Dernière sauvegarde réussie : 10/03/2026 (aujourd'hui)",
                         "Prochaine sauvegarde : demain à 13:00"}));
}

}  // namespace
}  // namespace varnoket::test
