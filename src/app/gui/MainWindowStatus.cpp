// The main window's status block (last backup and how the latest run ended,
// the next backup, the room left on the store's disk) and, during a run, its
// progress bar, the file being copied and the stop button; the tray menu's
// status lines and the tray tooltip's percentage follow the same state.
#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

#include "app/LastRunOutcome.h"
#include "app/LastSuccess.h"
#include "app/PresenceGlance.h"
#include "app/RunStatus.h"
#include "app/StoreAges.h"
#include "app/StoreGlance.h"
#include "app/gui/GuiBackupHost.h"
#include "app/gui/MainWindow.h"
#include "desktop/gui/TrayIcon.h"
#include "engine/ActivityLog.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "platform/gui/NamedButton.h"

namespace varnoket {
namespace {

QString Shown(const std::string& text) {
  return QString::fromStdString(TranslateMessage(text));
}

QLabel* MakeStatusLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

constexpr const char* kLastRunLine = VK_TR_NOOP("Messages", "Dernière exécution : %s");
constexpr const char* kRunUnderWay = VK_TR_NOOP("Messages", "en cours");
constexpr const char* kStoreSilent =
    VK_TR_NOOP("Messages", "le disque des sauvegardes ne répond pas");
// How long the block waits for the store's answer, and how often it asks
// again while the store is silent.
constexpr std::chrono::milliseconds kStoreGlanceWait{500};
constexpr int kStoreGlanceRetryMs = 1000;

}  // namespace

void MainWindow::BuildStatusBlock(QVBoxLayout* top) {
  auto* group = new QGroupBox(tr("État des sauvegardes"), this);
  group->setObjectName("GroupBoxStatus");
  auto* layout = new QVBoxLayout(group);
  lastBackupLabel_ = MakeStatusLabel(group, "LabelLastBackup");
  lastRunLabel_ = MakeStatusLabel(group, "LabelLastRun");
  nextBackupLabel_ = MakeStatusLabel(group, "LabelNextBackup");
  freeSpaceLabel_ = MakeStatusLabel(group, "LabelFreeSpace");
  for (QLabel* label : {lastBackupLabel_, lastRunLabel_, nextBackupLabel_, freeSpaceLabel_}) {
    layout->addWidget(label);
  }
  runBar_ = new QProgressBar(group);
  runBar_->setObjectName("ProgressBarRun");
  runBar_->setRange(0, 100);
  runFileLabel_ = MakeStatusLabel(group, "LabelRunFile");
  // A long path is cut in its middle rather than widening the window.
  runFileLabel_->setWordWrap(false);
  runFileLabel_->setMinimumWidth(1);
  stopRunButton_ = MakeButton(group, "BitBtnStopRun", tr("Arrê&ter la sauvegarde"),
                              tr("Arrêter la sauvegarde en cours : les copies déjà faites seront "
                                 "reprises par la prochaine"));
  auto* runLine = new QHBoxLayout;
  runLine->addWidget(runBar_, 1);
  runLine->addWidget(stopRunButton_);
  layout->addLayout(runLine);
  layout->addWidget(runFileLabel_);
  runBar_->hide();
  runFileLabel_->hide();
  stopRunButton_->hide();
  connect(stopRunButton_, &QPushButton::clicked, this, &MainWindow::StopRun);
  top->addWidget(group);
}

void MainWindow::RefreshStatus() {
  if (lastBackupLabel_ == nullptr) return;
  if (progress_) {
    // The run works on the store and the station's settings from its own
    // thread, and rewrites the log from its start: the block keeps what it
    // said, with the run under way.
    ShowRunUnderWay();
    return;
  }
  const ProgramSettings& program = Program();
  const LocalDateTime now = env_.clock.Now();
  const std::vector<StoreAge> ages = CurrentStoreAges(now);
  std::string last = lastSuccessText_;
  if (last.empty()) last = LastSuccessText(WatchedDateOf(ages, now), now);
  QString lastLines = Shown(last);
  // With several disks, each one's line, here and in the tray menu.
  std::vector<std::string> storeLines;
  if (station_.lastBackupDate) {
    for (const StoreAge& age : ages) storeLines.push_back(StoreAgeLine(age, now));
  }
  for (const std::string& line : storeLines) lastLines += "\n" + Shown(line);
  lastBackupLabel_->setText(lastLines);
  const std::string root = program.backupRoot;
  std::string lastRun;
  std::optional<uint64_t> freeBytes;
  if (!root.empty()) {
    const StoreLayout layout(PathRules(PathStyle::kPosix), root, stationName_);
    // Read off the window's thread: the store may be a share that no
    // longer answers.
    const std::optional<StoreFacts> facts =
        storeGlance_->Read(root, layout.LogPath(), kStoreGlanceWait);
    std::string how = Translate(kMessagesContext, kStoreSilent);
    if (facts) {
      LastRunOutcome run = facts->run;
      run.when = ShownLogTime(run.when);
      how = LastRunText(run, layout.LogPath());
      freeBytes = facts->freeBytes;
    } else {
      RefreshWhenStoreAnswers();
    }
    lastRun = FillText(Translate(kMessagesContext, kLastRunLine), {how});
  }
  lastRunLabel_->setText(QString::fromStdString(lastRun));
  lastRunLabel_->setVisible(!lastRun.empty());
  const std::string next =
      !station_.lastBackupDate || !program.IsOpen()
          ? std::string()
          : NextBackupText(now, station_.lastBackupDate, program.preferredHour,
                           program.preferredMinute, scheduler_ && scheduler_->HeldToday());
  nextBackupLabel_->setText(Shown(next));
  nextBackupLabel_->setVisible(!next.empty());
  freeSpaceLabel_->setText(Shown(FreeSpaceText(freeBytes)));
  freeSpaceLabel_->setVisible(!root.empty());
  if (trayStatusAction_ != nullptr) {
    trayStatusAction_->setText(Shown(last));
    trayNextAction_->setText(Shown(next));
    trayNextAction_->setVisible(!next.empty());
    for (QAction* action : trayStoreActions_) trayMenu_->removeAction(action);
    qDeleteAll(trayStoreActions_);
    trayStoreActions_.clear();
    for (const std::string& line : storeLines) {
      auto* action = new QAction(Shown(line), trayMenu_);
      action->setEnabled(false);
      trayMenu_->insertAction(traySeparator_, action);
      trayStoreActions_.push_back(action);
    }
  }
}

void MainWindow::RefreshWhenStoreAnswers() {
  if (glanceRetryQueued_) return;
  glanceRetryQueued_ = true;
  QTimer::singleShot(kStoreGlanceRetryMs, this, [this] {
    glanceRetryQueued_ = false;
    RefreshStatus();
  });
}

bool MainWindow::StoreAnswers() {
  const std::string root = BackupRoot();
  if (root.empty()) return true;
  return storeQuestion_
      ->Ask(
          root, [&fs = env_.fs, root] { return fs.IsDirectory(root); }, kStoreGlanceWait)
      .has_value();
}

void MainWindow::StartWhenStoreAnswers() {
  if (startRetryQueued_) return;
  startRetryQueued_ = true;
  QTimer::singleShot(kStoreGlanceRetryMs, this, [this] {
    startRetryQueued_ = false;
    if (!firstShowPending_ || lastStartup_ != StartupOutcome::kStoreAbsent) return;
    if (!StoreAnswers()) {
      StartWhenStoreAnswers();
      return;
    }
    RunStartupChecks();
    if (lastStartup_ == StartupOutcome::kPassed) scheduler_->RunIfDue();
  });
}

void MainWindow::ShowRunUnderWay() {
  lastRunLabel_->setText(QString::fromStdString(FillText(
      Translate(kMessagesContext, kLastRunLine), {Translate(kMessagesContext, kRunUnderWay)})));
  lastRunLabel_->setVisible(true);
  if (trayStatusAction_ != nullptr) {
    trayStatusAction_->setText(
        Shown(RunPercentText(*progress_) + " (" + RunProgressText(*progress_) + ")"));
    trayNextAction_->setVisible(false);
  }
}

std::vector<StoreAge> MainWindow::CurrentStoreAges(const LocalDateTime& now) const {
  const ProgramSettings& program = Program();
  if (program.otherStores.empty()) return {};
  return StoreAges(env_.fs, program, stationName_, station_.lastBackupDate, now,
                   presence_->For(stationName_));
}

std::optional<Day> MainWindow::WatchedDateOf(const std::vector<StoreAge>& ages,
                                             const LocalDateTime& now) const {
  const std::optional<Day> newest = ages.empty() ? std::nullopt : NewestSuccess(ages, now);
  return newest ? newest : station_.lastBackupDate;
}

std::optional<Day> MainWindow::WatchedDate() const {
  const LocalDateTime now = env_.clock.Now();
  return WatchedDateOf(CurrentStoreAges(now), now);
}

void MainWindow::RemindAbsentStores() {
  const ProgramSettings& program = Program();
  if (program.otherStores.empty()) return;
  const LocalDateTime now = env_.clock.Now();
  const Day today = DayOf(now);
  if (storesRemindedOn_ == today) return;
  const std::vector<std::string> reminders =
      StoreReminders(CurrentStoreAges(now), AlertDays(), now);
  if (reminders.empty()) return;
  std::string text;
  for (const std::string& reminder : reminders)
    text += (text.empty() ? "" : "\n") + TranslateMessage(reminder);
  notifier_->Notify({VK_TR_NOOP("Messages", "Disque de sauvegarde à brancher"), text, false});
  if (env_.log) env_.log(text);
  storesRemindedOn_ = today;
}

void MainWindow::SetRunning(bool running) {
  // Each control gets back its own state: the restore button stays off
  // until the start-up checks pass, the save button without folders.
  if (running) {
    lockedStates_.clear();
    for (QWidget* w : lockedDuringRun_) {
      lockedStates_.push_back(!w->testAttribute(Qt::WA_ForceDisabled));
      w->setEnabled(false);
    }
  } else {
    for (size_t i = 0; i < lockedStates_.size() && i < lockedDuringRun_.size(); ++i) {
      lockedDuringRun_[i]->setEnabled(lockedStates_[i]);
    }
    lockedStates_.clear();
  }
  if (running) {
    progress_ = RunProgress{};
    runBar_->setValue(0);
    runFileLabel_->setText(QString());
    stopRunButton_->setEnabled(true);
  } else {
    progress_.reset();
  }
  runBar_->setVisible(running);
  runFileLabel_->setVisible(running);
  stopRunButton_->setVisible(running);
  RefreshStatus();
}

void MainWindow::ShowRunProgress(const RunProgress& progress) {
  progress_ = progress;
  runBar_->setValue(progress.Percent());
  runBar_->setFormat(QStringLiteral("%p %"));
  const QString file = QString::fromStdString(progress.currentFile);
  const QString counts = Shown(RunProgressText(progress));
  runFileLabel_->setToolTip(file);
  runFileLabel_->setText(
      fontMetrics().elidedText(file.isEmpty() ? counts : counts + QStringLiteral(" — ") + file,
                               Qt::ElideMiddle, std::max(runFileLabel_->width(), 200)));
  systray_->SetHint(RunPercentText(progress));
  if (trayStatusAction_ != nullptr) {
    trayStatusAction_->setText(
        Shown(RunPercentText(progress) + " (" + RunProgressText(progress) + ")"));
  }
}

void MainWindow::StopRun() {
  if (!progress_) return;
  host_->RequestCancel();
  stopRunButton_->setEnabled(false);
  runFileLabel_->setText(tr("Arrêt demandé : la sauvegarde s'arrête après le fichier en cours."));
}

QStringList MainWindow::StatusLines() const {
  QStringList lines;
  for (const QLabel* label : {lastBackupLabel_, lastRunLabel_, nextBackupLabel_, freeSpaceLabel_}) {
    if (!label->isHidden()) lines << label->text();
  }
  return lines;
}

QStringList MainWindow::TrayStatusLines() const {
  QStringList lines;
  for (const QAction* action : {trayStatusAction_, trayNextAction_}) {
    if (action->isVisible()) lines << action->text();
  }
  for (const QAction* action : trayStoreActions_) lines << action->text();
  return lines;
}

}  // namespace varnoket
