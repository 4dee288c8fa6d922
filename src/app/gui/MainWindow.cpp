#include "app/gui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "app/PresenceGlance.h"
#include "app/StoreGlance.h"
#include "app/gui/GuiBackupHost.h"
#include "app/gui/GuiUpdateHost.h"
#include "app/gui/TrayPictures.h"
#include "desktop/gui/TrayIcon.h"
#include "engine/StoreChoice.h"
#include "engine/StoreLayout.h"
#include "platform/AsciiText.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "platform/gui/CentreOnScreen.h"
#include "platform/gui/WindowThread.h"
#include "restore/gui/RestoreWindow.h"
#include "settings/ConfigurationRules.h"
#include "settings/SettingsFolder.h"
#include "settings/SettingsKeys.h"
#include "ui/gui/ErrorWindow.h"
#include "ui/gui/HelpWindow.h"
#include "ui/gui/LogViewer.h"

#ifndef VARNOKET_VERSION
#define VARNOKET_VERSION "1.13"
#endif

namespace varnoket {
namespace {

// Said where the backup set would be while the start-up waits on a store
// that does not answer.
constexpr const char* kStoreSilentText =
    VK_TR_NOOP("Messages", "Le disque des sauvegardes (%s) ne répond pas.");

// Notifications shown in the error window, for a program without a
// notification service of its own.
class ErrorWindowNotifier final : public Notifier {
 public:
  explicit ErrorWindowNotifier(std::function<ErrorWindow*()> window) : window_(std::move(window)) {}
  void Notify(const Notification& notification) override {
    if (ErrorWindow* w = window_()) w->ShowError(notification.summary + "\r\n" + notification.body);
  }

 private:
  std::function<ErrorWindow*()> window_;
};

}  // namespace

MainWindow::MainWindow(MainWindowEnv env, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      env_(std::move(env)),
      stationName_(env_.stationName),
      editor_(env_.fs, env_.dialogs, env_.picker, env_.drives, station_),
      masterStation_(!env_.programPath.empty() && !IsRemotePath(env_.drives, env_.programPath)),
      startupChecks_(
          env_.fs, env_.dialogs, *this,
          StartupSetup{env_.programPath, env_.stationName, env_.autostart, masterStation_}) {
  setObjectName("Form1");
  setWindowTitle(tr("Varnoket version %1       Sauvegarde quotidienne de vos fichiers")
                     .arg(QStringLiteral(VARNOKET_VERSION)));
  setToolTip(tr("Ecran principal"));

  storeGlance_ = std::make_unique<StoreGlance>(env_.fs);
  presence_ = std::make_unique<PresenceGlance>(env_.fs, std::chrono::milliseconds(500));
  logQuestion_ = std::make_unique<QuestionOffThread<LogLoad>>();
  storeQuestion_ = std::make_unique<QuestionOffThread<bool>>();
  station_.path.clear();
  station_.lastBackupDate.reset();
  if (env_.lowerPriority) env_.lowerPriority();

  schedulerTimer_ = new QTimer(this);
  schedulerTimer_->setObjectName("Timer1");
  schedulerTimer_->stop();
  schedulerTimer_->setInterval(env_.timerIntervalMs > 0 ? env_.timerIntervalMs
                                                        : kSchedulerPeriodMs);
  schedulerTimer_->start();
  connect(schedulerTimer_, &QTimer::timeout, this, &MainWindow::SchedulerTick);

  firstShowPending_ = true;
  currentVersion_ = VersionFromTitle(windowTitle().toStdString());
  baseTitle_ = windowTitle();

  BuildControls();
  BuildTray();
  systray_->SetVisible(true);
  qApp->installEventFilter(this);

  GuiBackupHostParts parts;
  parts.tray = systray_.get();
  parts.configureAction = configureAction_;
  parts.schedulerTimer = schedulerTimer_;
  parts.errorWindow = [this] { return otherWindows_.error; };
  parts.focusDirectoryList = [this] {
    show();
    directories_->setFocus();
  };
  parts.running = [this](bool running) { SetRunning(running); };
  parts.backupSetChanged = [this] { ShowBackupSet(); };
  parts.progress = [this](const RunProgress& progress) { ShowRunProgress(progress); };
  host_ = std::make_unique<GuiBackupHost>(std::move(parts));
  updateHost_ = std::make_unique<GuiUpdateHost>(
      GuiUpdateHostParts{systray_.get(), schedulerTimer_, [this] { return otherWindows_.error; },
                         [this] { EndProgramNow(); }, env_.isOnline, env_.startProgram});
  updateStep_ = std::make_unique<UpdateStep>(
      env_.fs, env_.clock, *updateHost_,
      UpdateStepSetup{env_.programPath, env_.updateUrl, env_.updatePublicKeyHex, currentVersion_,
                      masterStation_, env_.installed});
  if (env_.installed && env_.log) env_.log(kInstalledUpdatesOff);
  runThread_ = std::make_unique<OffWindowThread>();
  runDialogs_ = std::make_unique<WindowThreadDialogs>(env_.dialogs);
  scheduler_ = std::make_unique<DailyScheduler>(env_.fs, env_.clock, *runDialogs_, *host_,
                                                static_cast<SchedulerHost&>(*this), station_,
                                                SchedulerSetup{stationName_, masterStation_});
  scheduler_->SetRunThread(runThread_.get());
  scheduler_->SetStorePresence(StorePresence());
  scheduler_->SetPowerSource(env_.power);
  scheduler_->SetSleepInhibitor(env_.sleepInhibitor);
  notifier_ = env_.notifier;
  if (notifier_ == nullptr) {
    windowNotifier_ = std::make_unique<ErrorWindowNotifier>([this] { return otherWindows_.error; });
    notifier_ = windowNotifier_.get();
  }
  watch_ = std::make_unique<BackupWatch>(env_.clock, *notifier_,
                                         static_cast<BackupWatchDisplay&>(*this));
}

MainWindow::~MainWindow() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

void MainWindow::SetOtherWindows(const OtherWindows& forms) {
  otherWindows_ = forms;
}

// --- start-up -------------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  RefreshStatus();
  if (!centred_) {
    centred_ = true;
    CentreOnScreen(*this);
    if (!env_.trayAvailable) QTimer::singleShot(0, this, [this] { TellNoTray(); });
  }
  // The checks may open modal boxes and the configuration; they run from
  // the event loop once the window is on screen, not inside its showing.
  if (firstShowPending_ && !checksQueued_) {
    checksQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      checksQueued_ = false;
      RunStartupChecks();
    });
  }
}

const ProgramSettings& MainWindow::Program() const {
  static const ProgramSettings kNone;
  return otherWindows_.config != nullptr ? otherWindows_.config->Settings() : kNone;
}

std::string MainWindow::BackupRoot() const {
  return Program().backupRoot;
}

void MainWindow::RunStartupChecks() {
  if (!firstShowPending_) return;
  firstShowPending_ = false;
  configureButton_->setVisible(masterStation_);
  configureAction_->setEnabled(masterStation_);
  ChooseHomeStore();
  // The checks read and write the store on the window's thread: a store on
  // a share that does not answer now is waited for, as an absent disk is,
  // instead of holding the window.
  if (!StoreAnswers()) {
    lastStartup_ = StartupOutcome::kStoreAbsent;
    firstShowPending_ = true;
    StoreAbsent(FillText(kStoreSilentText, {BackupRoot()}));
    StartWhenStoreAnswers();
    return;
  }
  const StartupOutcome outcome = startupChecks_.Run(station_);
  lastStartup_ = outcome;
  // An absent disk is looked for again at the next showing, as a retry.
  if (outcome == StartupOutcome::kRetry || outcome == StartupOutcome::kStoreAbsent) {
    firstShowPending_ = true;
  }
  if (outcome != StartupOutcome::kPassed) return;
  editor_.KeepCopyAt(Program().IsOpen() ? Program().file->path() : std::string(), stationName_);
  watch_->Show(WatchedDate(), AlertDays());
  if (!station_.directories.empty()) {
    saveNowButton_->setEnabled(true);
    PostCloseRequest();
  }
  restoreButton_->setEnabled(true);
}

void MainWindow::EndProgramNow() {
  systray_->SetVisible(false);
  EndProgram();
}

void MainWindow::ShowBackupSet() {
  RefreshDirectoryList();
  RefreshExclusionList();
}

void MainWindow::DirectoryListChanged() {
  RefreshDirectoryList();
  UpdateHorizontalExtent();
}

std::string MainWindow::RecordedStoreId() const {
  // Read again: a run or the command line may have recorded it since.
  return ActiveStoreId(env_.fs, Program());
}

void MainWindow::ChooseHomeStore() {
  // With several disks in turn, the program works on the first one here:
  // its backup set, its days for the restore window.
  if (otherWindows_.config == nullptr) return;
  std::string unused;
  ChooseStore(env_.fs, otherWindows_.config->Settings(), stationName_, "", unused, StorePresence());
}

void MainWindow::StoreAbsent(const std::string& text) {
  watch_->StoreAbsent(text);
  systray_->SetHint(text);
  setWindowTitle(baseTitle_ + QString::fromUtf8("  -  ") +
                 QString::fromStdString(TranslateMessage(text)));
  if (env_.log) env_.log(text);
}

void MainWindow::PostCloseRequest() {
  QTimer::singleShot(0, this, [this] { close(); });
}

void MainWindow::EndProgram() {
  // Called from inside a run too (its pump lets the tray menu work): the run
  // stops at its next file boundary and the event loop is left after it.
  if (host_) host_->RequestStop();
  if (env_.exitProgram) env_.exitProgram(0);
}

void MainWindow::EndWithoutQuestion() {
  systray_->SetVisible(false);
  EndProgram();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (env_.trayAvailable) {
    hide();
  } else {
    // No notification area to come back from: keep the window reachable.
    showMinimized();
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease && watched->isWidgetType()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F1 && !key->isAutoRepeat()) ShowHelp();
  }
  return QWidget::eventFilter(watched, event);
}

// --- windows and menu -----------------------------------------------------

void MainWindow::ShowConfiguration() {
  if (otherWindows_.config == nullptr) return;
  if (otherWindows_.config->isVisible()) {
    otherWindows_.config->raise();
    otherWindows_.config->activateWindow();
  } else {
    otherWindows_.config->exec();
  }
}

void MainWindow::ShowHelp() {
  if (otherWindows_.help != nullptr) otherWindows_.help->ShowHelp();
}

void MainWindow::ShowMainWindow() {
  if (isVisible()) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    setFocus();
  } else {
    show();
  }
}

bool MainWindow::ShowForSecondStart() {
  ShowMainWindow();
  raise();
  activateWindow();
  return isVisible();
}

void MainWindow::ConfigureFromMenu() {
  if (masterStation_) ShowConfiguration();
}

void MainWindow::Configure() {
  ShowConfiguration();
}

void MainWindow::ShowHelpWindow() {
  ShowHelp();
}

void MainWindow::Quit() {
  if (env_.dialogs.Warning(VK_TR_NOOP("Messages", "Êtes-vous sûr de vouloir quitter Varnoket ?"),
                           DialogButtons::kOkCancel) == DialogAnswer::kOk) {
    // The question is asked from inside the tray icon's own mouse event (its
    // menu); removing the icon there would delete the object that is still
    // handling that event. The icon goes, and the program ends, once the
    // event is over.
    QTimer::singleShot(0, this, [this] {
      systray_->SetVisible(false);
      EndProgram();
    });
  }
}

void MainWindow::OpenRestoreWindow() {
  if (BackupRoot().empty()) {
    env_.dialogs.Message(
        VK_TR_NOOP("Messages", "Veuillez d'abord configurer le répertoire de sauvegarde !"));
    return;
  }
  if (otherWindows_.restore == nullptr) return;
  // The window reads the store as it opens: a store on a share that no
  // longer answers would hold the window's thread.
  if (!StoreAnswers()) {
    env_.dialogs.Message(VK_TR_NOOP("Messages",
                                    "Le disque des sauvegardes ne répond pas : les sauvegardes ne "
                                    "peuvent pas être lues pour le moment."));
    return;
  }
  otherWindows_.restore->exec();
}

StorePresenceCheck MainWindow::StorePresence() {
  return presence_->For(stationName_);
}

void MainWindow::OpenLogViewer() {
  if (otherWindows_.viewLog == nullptr) return;
  // Read off the window's thread: the log lives on the store, which may be
  // a share that no longer answers.
  const std::string root = BackupRoot();
  const LogPlace place{root, stationName_, StoreLayout(PathRules(), root, stationName_).LogPath()};
  const std::optional<LogLoad> load = logQuestion_->Ask(
      root + '\n' + stationName_, [&fs = env_.fs, place] { return LoadLogRows(fs, place); },
      std::chrono::milliseconds(500));
  if (!load) {
    env_.dialogs.Message(VK_TR_NOOP("Messages",
                                    "Le disque des sauvegardes ne répond pas : le journal ne peut "
                                    "pas être lu pour le moment."));
    return;
  }
  otherWindows_.viewLog->ShowLog(*load, env_.dialogs);
}

// --- scheduler ------------------------------------------------------------

void MainWindow::SchedulerTick() {
  scheduler_->Tick();
  // After the tick's run has had its chance: a date that is still too old
  // (or a failure) is worth the day's reminder.
  if (station_.lastBackupDate) {
    watch_->Check(WatchedDate(), AlertDays());
    RemindAbsentStores();
  }
  RefreshStatus();
}

int MainWindow::AlertDays() const {
  const ProgramSettings& program = Program();
  return program.IsOpen() ? ReadKey(*program.file, kAlertDaysKey) : kAlertDaysKey.fallback;
}

void MainWindow::RunEnded(BackupOutcome outcome, bool askedByUser) {
  host_->ShowWaitingHint();
  const std::string error = host_->TakeLastError();
  const bool failed = outcome == BackupOutcome::kFailed || outcome == BackupOutcome::kNoSpace ||
                      outcome == BackupOutcome::kForeignStation;
  // Nobody may have seen the error window of a run nobody asked for: the
  // log keeps each failure, the notification tells it.
  if (failed && !askedByUser && env_.log) {
    env_.log(error.empty() ? std::string("La sauvegarde programmée a échoué.")
                           : "La sauvegarde programmée a échoué : " + error);
  }
  RunReport report;
  report.outcome = outcome;
  report.lastBackupDate = WatchedDate();
  report.errorText = error;
  report.refusal = scheduler_->LastRefusal();
  report.askedByUser = askedByUser;
  report.leftOut = scheduler_->LastLeftOut();
  report.logPath =
      StoreLayout(PathRules(PathStyle::kPosix), Program().backupRoot, stationName_).LogPath();
  watch_->RunEnded(report, AlertDays());
  RefreshStatus();
}

void MainWindow::ShowLastSuccess(const std::string& text, bool warning) {
  systray_->SetImageIndex(warning ? kWarningTrayPicture : 0);
  // A run put off by a busy station or a low battery keeps saying why until
  // a run works.
  if (scheduler_->LastOutcome() == BackupOutcome::kBusy) {
    systray_->SetHint(scheduler_->LastRefusal());
  } else if (!scheduler_->BatteryWait().empty()) {
    systray_->SetHint(scheduler_->BatteryWait());
  } else {
    systray_->SetHint(text);
  }
  setWindowTitle(baseTitle_ + QString::fromUtf8("  -  ") +
                 QString::fromStdString(TranslateMessage(text)));
  lastSuccessText_ = text;
  RefreshStatus();
}

void MainWindow::TellNoTray() {
  if (noTrayTold_) return;
  noTrayTold_ = true;
  const std::string text =
      VK_TR_NOOP("Messages",
                 "Le bureau n'a pas de zone de notification : la fenêtre principale reste "
                 "ouverte, réduite dans la barre des tâches.");
  notifier_->Notify({VK_TR_NOOP("Messages", "Pas de zone de notification"), text, false});
  if (env_.log) env_.log(text);
}

void MainWindow::BackUpNow() {
  // The tray's menu can be reached while a run pumps its messages.
  if (scheduler_->Running()) return;
  scheduler_->BackUpNow();
}

void MainWindow::MountsChanged() {
  if (lastStartup_ == StartupOutcome::kStoreAbsent && firstShowPending_) {
    // The start-up stopped on the absent disk: nothing is loaded yet. Once
    // the disk is there its checks run again, then the due run.
    if (!scheduler_->StoreThere()) return;
    RunStartupChecks();
    if (lastStartup_ == StartupOutcome::kPassed) scheduler_->RunIfDue();
    return;
  }
  scheduler_->MountsChanged();
}

void MainWindow::StopTimer() {
  schedulerTimer_->stop();
}

void MainWindow::StartTimer() {
  schedulerTimer_->start();
}

UpdateTickResult MainWindow::RunUpdateStep() {
  return updateStep_->Run();
}

}  // namespace varnoket
