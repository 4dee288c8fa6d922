// A store on a real network share (SSH served on 127.0.0.1, mounted with
// sshfs) that stops answering in the middle of a run: the run waits on its
// own thread while the window keeps answering. The share then drops as a
// network does; the run ends as with a disk pulled out, listing nothing,
// and once the share is back the next run completes. A restore from it
// waits the same way, the windows answering.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <thread>

#include "app/gui/MainWindowFixture.h"
#include "support/KeptDay.h"
#include "support/SshShare.h"

namespace varnoket::test {
namespace {

// The window's timer, ticking every 10 ms while `counting` says so; at the
// 50th tick it stops and does `act`. A window that waits on the share
// handles none of the ticks.
class Ticker {
 public:
  static constexpr int kTicks = 50;
  Ticker(std::function<bool()> counting, std::function<void()> act) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout,
                     [this, counting = std::move(counting), act = std::move(act)] {
                       if (!counting() || ++ticks_ < kTicks) return;
                       timer_.stop();
                       act();
                     });
  }
  void Start() { timer_.start(); }
  int ticks() const { return ticks_; }

 private:
  QTimer timer_;
  int ticks_ = 0;
};

class HungShareWiringTest : public MainWindowFixture {
 protected:
  void At(int day, int hour, int minute) { clock_.Set({2026, 3, day, hour, minute, 0, 0}); }

  // The store on the share, the day's folder beside it, and the windows.
  bool MakeOnShare() {
    root_ = base_ + "/share/store";
    std::filesystem::create_directories(root_);
    if (!MarkStore(DefaultFileSystem(), root_)) return false;
    WriteProgramSettings(root_);
    WriteStationSettings({base_ + "/docs"});
    Make();
    return true;
  }

  // Files of random bytes, slow enough to compress that the run is still
  // copying when the share stops answering.
  void WriteSources(const std::string& folder, int count) {
    std::mt19937 random(7);
    for (int i = 0; i < count; ++i) {
      std::string bytes(64 * 1024, 0);
      for (char& c : bytes) c = static_cast<char>(random());
      WriteFile(folder + "/f" + std::to_string(i) + ".bin", bytes);
    }
  }

  // `count` source files, the store on the share and the 10th's backup.
  bool BackedUpOnShare(int count) {
    WriteSources(base_ + "/docs", count);
    if (!MakeOnShare()) return false;
    ShowAndSettle();
    At(10, 14, 0);
    form_->SchedulerTick();
    return form_->LastOutcome() == BackupOutcome::kCompleted;
  }

  // Runs the window's events until `done` holds, `seconds` at most.
  static bool EventsUntil(const std::function<bool()>& done, int seconds) {
    for (int i = 0; i < seconds * 100 && !done(); ++i) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
  }
};

// Kills the share's client if the test has not said it is done by then: a
// window frozen by the hung share gets its thread back, and the test fails
// instead of hanging.
class Watchdog {
 public:
  Watchdog(pid_t client, std::chrono::seconds limit)
      : thread_([this, client, limit] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
            fired_ = true;
            SshShare::KillClient(client);
          }
        }) {}
  ~Watchdog() {
    Finish();
    thread_.join();
  }
  void Finish() {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    done_.notify_all();
  }
  bool Fired() const { return fired_; }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::atomic<bool> fired_{false};
  std::thread thread_;
};

TEST_F(HungShareWiringTest, AShareThatStopsAnsweringMidRunLeavesTheWindowAnswering) {
  SshShare share(base_ + "/ssh", base_ + "/exported", base_ + "/share");
  if (!share.Mounted()) GTEST_SKIP() << share.why();
  WriteSources(base_ + "/docs", 40);
  ASSERT_TRUE(MakeOnShare());
  ShowAndSettle();
  form_->show();
  Settle();
  ASSERT_TRUE(form_->isVisible());
  auto* stop = Find<QPushButton>("BitBtnStopRun");
  auto* runFile = Find<QLabel>("LabelRunFile");
  auto* menu = form_->findChild<QMenu*>("PopupMenu1");
  ASSERT_TRUE(stop && runFile && menu);

  // The share stops answering the moment the run shows its stop button: the
  // run has read the store and has every copy still to write.
  bool frozen = false;
  struct FreezeOnShow : QObject {
    std::function<void()> freeze;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Show && freeze) std::exchange(freeze, nullptr)();
      return QObject::eventFilter(watched, event);
    }
  } filter;
  filter.freeze = [&] {
    share.Freeze();
    frozen = true;
  };
  stop->installEventFilter(&filter);

  // While it hangs, the window's thread handles a timer's ticks, the stop
  // button and the tray menu; then the share drops.
  ASSERT_GT(share.Client(), 0);
  Watchdog watchdog(share.Client(), std::chrono::seconds(30));
  bool stillRunning = false;
  QString stopLine;
  Ticker look([&] { return frozen; },
              [&] {
                stillRunning = stop->isVisible();
                stop->click();
                stopLine = runFile->text();
                emit menu->aboutToShow();
                watchdog.Finish();
                share.Drop();
              });
  look.Start();
  At(10, 14, 0);
  form_->SchedulerTick();
  watchdog.Finish();
  stop->removeEventFilter(&filter);
  if (watchdog.Fired()) share.Drop();  // its mount point let go

  ASSERT_TRUE(frozen);
  EXPECT_FALSE(watchdog.Fired()) << "the window did not answer while the share hung";
  EXPECT_EQ(look.ticks(), Ticker::kTicks);
  EXPECT_TRUE(stillRunning);
  EXPECT_EQ(stopLine, "Arrêt demandé : la sauvegarde s'arrête après le fichier en cours.");
  EXPECT_NE(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_NE(form_->LastOutcome(), BackupOutcome::kNoChange);
  EXPECT_FALSE(std::filesystem::exists(base_ + "/exported/store/POSTE1/10032026/filelist.txt"));
  // Nothing was written where the share was mounted.
  EXPECT_TRUE(std::filesystem::is_empty(base_ + "/share"));
  EXPECT_EQ(form_->LastBackupDate(), KeptDay("09/03/2026"));

  // The share back, the next day's run completes and lists every file.
  ASSERT_TRUE(share.Mount()) << share.why();
  At(11, 14, 0);
  form_->SchedulerTick();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  const std::string list = ReadFile(base_ + "/exported/store/POSTE1/11032026/filelist.txt");
  for (int i = 0; i < 40; ++i) {
    EXPECT_NE(list.find("f" + std::to_string(i) + ".bin"), std::string::npos) << i;
  }
}

// Between runs, the status block and the tray menu ask the store how the
// latest run ended and how much room is left. A share that does not answer
// is said so at once, and its facts come back once it answers again.
TEST_F(HungShareWiringTest, ASilentShareBetweenRunsIsSaidWithoutFreezingTheWindow) {
  SshShare share(base_ + "/ssh", base_ + "/exported", base_ + "/share");
  if (!share.Mounted()) GTEST_SKIP() << share.why();
  ASSERT_TRUE(BackedUpOnShare(1));
  auto* menu = form_->findChild<QMenu*>("PopupMenu1");
  ASSERT_NE(menu, nullptr);
  ASSERT_GT(share.Client(), 0);

  share.Freeze();
  QStringList silent;
  bool hiddenBefore = false;
  bool hiddenAfter = true;
  {
    Watchdog watchdog(share.Client(), std::chrono::seconds(30));
    emit menu->aboutToShow();
    form_->hide();
    form_->ShowMainWindow();
    Settle();
    silent = form_->StatusLines();
    // The log and the days live on the store too: the log viewer and the
    // restore window say the disk is silent instead of opening.
    dialogs_.Clear();
    form_->OpenLogViewer();
    WhenShown(restore_, [this] { restore_->CloseWindow(); });
    form_->OpenRestoreWindow();
    // A change of the backup set is written to the store at once: refused,
    // the list and the box as they were.
    std::filesystem::create_directories(base_ + "/more");
    picker_.answers.push_back(base_ + "/more");
    form_->AddBackupDirectory();
    auto* hidden = form_->findChild<QCheckBox*>("CheckBoxHiddenFolders");
    ASSERT_NE(hidden, nullptr);
    hiddenBefore = hidden->isChecked();
    hidden->click();
    hiddenAfter = hidden->isChecked();
    // The configuration checks the folder before it saves.
    windows_->Config().show();
    Settle();
    windows_->Config().SaveConfiguration();
    windows_->Config().hide();
    watchdog.Finish();
    EXPECT_FALSE(watchdog.Fired()) << "the window did not answer while the share hung";
  }
  ASSERT_GE(silent.size(), 2) << silent.join("|").toStdString();
  EXPECT_EQ(silent[1], "Dernière exécution : le disque des sauvegardes ne répond pas");
  EXPECT_EQ(
      dialogs_.Texts(DialogKind::Message),
      (std::vector<std::string>{"Le disque des sauvegardes ne répond pas : le journal ne peut "
                                "pas être lu pour le moment.",
                                "Le disque des sauvegardes ne répond pas : les sauvegardes "
                                "ne peuvent pas être lues pour le moment.",
                                "Le disque des sauvegardes ne répond pas : la liste ne peut "
                                "pas être modifiée pour le moment.",
                                "Le disque des sauvegardes ne répond pas : la liste ne peut "
                                "pas être modifiée pour le moment.",
                                "Le dossier des sauvegardes (" + root_ +
                                    ") ne répond pas : la configuration ne peut pas être "
                                    "enregistrée pour le moment."}));
  EXPECT_EQ(hiddenAfter, hiddenBefore);
  EXPECT_TRUE(picker_.titles.empty());  // the folder box did not open

  share.Thaw();
  // Asked again every second until the store answers: twenty seconds at most.
  QString answered;
  EventsUntil(
      [&] {
        answered = form_->StatusLines().value(1);
        return answered.startsWith("Dernière exécution : terminée");
      },
      20);
  EXPECT_TRUE(answered.startsWith("Dernière exécution : terminée le 10/03/2026"))
      << answered.toStdString();
  // The share answering, the change is taken.
  form_->AddBackupDirectory();
  EXPECT_NE(ReadFile(base_ + "/exported/store/POSTE1/POSTE1.ini").find(base_ + "/more"),
            std::string::npos);
}

// Two disks in turn, the second on a share that stops answering: the tray
// menu and the tick do not wait on it (it counts as absent until it
// answers); the run writes the first disk and waits on the second on its
// own thread, the window answering, and writes it once it answers.
TEST_F(HungShareWiringTest, ASilentSecondDiskFreezesNeitherTheTrayNorTheTick) {
  SshShare share(base_ + "/ssh", base_ + "/exported", base_ + "/share");
  if (!share.Mounted()) GTEST_SKIP() << share.why();
  const std::string diskB = base_ + "/share/diskB";
  ASSERT_TRUE(MakeWithTwoDisks(diskB));
  auto* menu = form_->findChild<QMenu*>("PopupMenu1");
  ASSERT_NE(menu, nullptr);
  ASSERT_GT(share.Client(), 0);

  share.Freeze();
  Watchdog watchdog(share.Client(), std::chrono::seconds(30));
  emit menu->aboutToShow();
  const QStringList tray = form_->TrayStatusLines();
  bool runningWhileSilent = false;
  Ticker look([] { return true; },
              [&] {
                // The tray menu opens, and offers no second run.
                emit menu->aboutToShow();
                runningWhileSilent =
                    !form_->findChild<QAction*>("SauvegarderMaintenant1")->isEnabled();
                watchdog.Finish();
                share.Thaw();
              });
  form_->show();
  look.Start();
  At(10, 14, 0);
  form_->SchedulerTick();
  watchdog.Finish();
  if (watchdog.Fired()) share.Drop();

  EXPECT_FALSE(watchdog.Fired()) << "the window did not answer while the share hung";
  EXPECT_EQ(tray.filter("Disque B : ").size(), 1) << tray.join("|").toStdString();
  EXPECT_EQ(look.ticks(), Ticker::kTicks);
  EXPECT_TRUE(runningWhileSilent);
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(std::filesystem::exists(root_ + "/POSTE1/10032026/filelist.txt"));
  EXPECT_TRUE(std::filesystem::exists(base_ + "/exported/diskB/POSTE1/10032026/filelist.txt"));
}

// A restore from the share, the share stopping the moment the run begins:
// the run waits on its own thread while the restore window's report, its
// stop button and the rest of the program answer. The share then drops;
// the run ends with every file said failed, and none of them stands half
// written.
TEST_F(HungShareWiringTest, ARestoreFromAShareThatStopsAnsweringLeavesTheWindowsAnswering) {
  SshShare share(base_ + "/ssh", base_ + "/exported", base_ + "/share");
  if (!share.Mounted()) GTEST_SKIP() << share.why();
  ASSERT_TRUE(BackedUpOnShare(8));
  std::filesystem::remove_all(base_ + "/docs");
  ASSERT_GT(share.Client(), 0);

  // The restore window turns grey as its run begins: the share stops then.
  bool frozen = false;
  struct FreezeOnDisable : QObject {
    std::function<void()> freeze;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::EnabledChange && !static_cast<QWidget*>(watched)->isEnabled() &&
          freeze)
        std::exchange(freeze, nullptr)();
      return QObject::eventFilter(watched, event);
    }
  } filter;
  filter.freeze = [&] {
    share.Freeze();
    frozen = true;
  };
  auto* menu = form_->findChild<QMenu*>("PopupMenu1");
  auto* abort = restoreReport_->findChild<QPushButton*>("BitBtnFermer");
  ASSERT_TRUE(menu && abort);
  Watchdog watchdog(share.Client(), std::chrono::seconds(30));
  bool runningWhileSilent = false;
  Ticker look([&] { return frozen; },
              [&] {
                runningWhileSilent = restore_->RestoreRunning();
                emit menu->aboutToShow();
                abort->click();
                watchdog.Finish();
                share.Drop();
              });
  bool stoppedByButton = false;
  WhenRestoreReady([&] {
    restore_->installEventFilter(&filter);
    restore_->findChild<QCheckBox*>("VKCheckAll")->click();
    dialogs_.Clear();
    look.Start();
    restore_->StartRestore();
    restore_->removeEventFilter(&filter);
    stoppedByButton = !restore_->RestoreRunning();
    restore_->CloseWindow();
  });
  form_->OpenRestoreWindow();
  watchdog.Finish();
  if (watchdog.Fired()) share.Drop();

  ASSERT_TRUE(frozen);
  EXPECT_FALSE(watchdog.Fired()) << "the window did not answer while the share hung";
  EXPECT_EQ(look.ticks(), Ticker::kTicks);
  EXPECT_TRUE(runningWhileSilent);
  EXPECT_TRUE(stoppedByButton);
  // The stop was asked for, and the summary says no file came back; the
  // report names the file the share failed.
  const std::vector<std::string> warnings = dialogs_.Texts(DialogKind::Warning);
  EXPECT_EQ(std::count(warnings.begin(), warnings.end(),
                       "ATTENTION voulez-vous vraiment interrompre la restauration ?"),
            1);
  const std::vector<std::string> summary = dialogs_.Texts(DialogKind::Information);
  ASSERT_EQ(summary.size(), 1u);
  EXPECT_EQ(summary[0].rfind("Restauration abandonnée par l'utilisateur !\r\nFichiers restaurés : "
                             "0 ; non restaurés : 8",
                             0),
            0u)
      << summary[0];
  EXPECT_NE(restoreReport_->Text().find("f0.bin\r\n---> ERREUR"), std::string::npos)
      << restoreReport_->Text();
  // Nothing half written where the files belong.
  for (int i = 0; i < 8; ++i)
    EXPECT_FALSE(std::filesystem::exists(base_ + "/docs/f" + std::to_string(i) + ".bin")) << i;
}

// The restore window reads a day's list when the day changes: a share that
// stops answering then leaves the window and the program answering, and
// the day shows once the share answers again.
TEST_F(HungShareWiringTest, ADayReadFromASilentShareLeavesTheWindowsAnswering) {
  SshShare share(base_ + "/ssh", base_ + "/exported", base_ + "/share");
  if (!share.Mounted()) GTEST_SKIP() << share.why();
  ASSERT_TRUE(BackedUpOnShare(2));
  WriteFile(base_ + "/docs/new.txt", "new");
  At(11, 14, 0);
  form_->SchedulerTick();
  ASSERT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  auto* menu = form_->findChild<QMenu*>("PopupMenu1");
  auto* days = restore_->findChild<QComboBox*>("VKComboJour");
  ASSERT_TRUE(menu && days);
  ASSERT_GT(share.Client(), 0);

  Watchdog watchdog(share.Client(), std::chrono::seconds(30));
  Ticker look([] { return true; },
              [&] {
                emit menu->aboutToShow();
                watchdog.Finish();
                share.Thaw();
              });
  size_t shownNodes = 0;
  WhenRestoreReady([&] {
    share.Freeze();
    look.Start();
    days->setCurrentIndex(0);
    shownNodes = restore_->TreeView().Tree().NodeCount();
    restore_->CloseWindow();
  });
  form_->OpenRestoreWindow();
  watchdog.Finish();
  if (watchdog.Fired()) share.Drop();

  EXPECT_FALSE(watchdog.Fired()) << "the window did not answer while the share hung";
  EXPECT_EQ(look.ticks(), Ticker::kTicks);
  EXPECT_EQ(restore_->PreviousDayIndex(), 0);
  EXPECT_GT(shownNodes, 0u);
}

// A share that does not answer when the program starts: the start-up
// checks wait for it, as for an absent disk, instead of holding the window;
// once it answers they run, and so does the day's due run.
TEST_F(HungShareWiringTest, AShareSilentAtStartUpIsWaitedForWithoutFreezingTheWindow) {
  SshShare share(base_ + "/ssh", base_ + "/exported", base_ + "/share");
  if (!share.Mounted()) GTEST_SKIP() << share.why();
  WriteFile(base_ + "/docs/a.txt", "alpha");
  ASSERT_TRUE(MakeOnShare());
  At(10, 14, 0);
  auto* menu = form_->findChild<QMenu*>("PopupMenu1");
  ASSERT_NE(menu, nullptr);
  ASSERT_GT(share.Client(), 0);

  share.Freeze();
  const QString silent =
      QString::fromStdString("Le disque des sauvegardes (" + root_ + ") ne répond pas.");
  QString title;
  {
    Watchdog watchdog(share.Client(), std::chrono::seconds(30));
    ShowAndSettle();
    EventsUntil([&] { return form_->windowTitle().endsWith(silent); }, 3);
    title = form_->windowTitle();
    emit menu->aboutToShow();
    watchdog.Finish();
    EXPECT_FALSE(watchdog.Fired()) << "the window did not answer while the share hung";
  }
  EXPECT_TRUE(title.endsWith(silent)) << title.toStdString();
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kNotStarted);

  // Asked again every second: twenty seconds at most for the checks and
  // the run.
  share.Thaw();
  EventsUntil([&] { return form_->LastOutcome() == BackupOutcome::kCompleted; }, 20);
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(std::filesystem::exists(base_ + "/exported/store/POSTE1/10032026/filelist.txt"));
}

}  // namespace
}  // namespace varnoket::test
