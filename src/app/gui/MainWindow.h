// The main window: its controls (built in MainWindowControls.cpp), the tray
// icon with its menu, and the wiring from them to the units that decide:
// StartupChecks at the first showing, BackupSetEditor for the lists,
// DailyScheduler on each timer tick (with UpdateStep for the update step).
// It owns the program's long-lived state (station, backup set) and spends
// most of its life hidden in the notification area.
#pragma once

#include <QIcon>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/BackupSetEditor.h"
#include "app/BackupWatch.h"
#include "app/DailyScheduler.h"
#include "app/MainWindowRules.h"
#include "app/StartupChecks.h"
#include "app/StoreAges.h"
#include "app/UpdateStep.h"
#include "desktop/Notifier.h"
#include "engine/BackupRun.h"
#include "engine/RunProgress.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/DriveInfo.h"
#include "platform/FileSystem.h"
#include "platform/FolderPicker.h"
#include "platform/QuestionOffThread.h"
#include "settings/StationSettings.h"
#include "settings/gui/ConfigurationDialog.h"
#include "settings/gui/ExclusionDialog.h"
#include "ui/LogRows.h"
#include "update/UpdateCheck.h"

class QAction;
class QCheckBox;
class QLabel;
class QProgressBar;
class QVBoxLayout;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;

namespace varnoket {

class TrayIcon;
class GuiUpdateHost;
class HelpWindow;
class ErrorWindow;
class RestoreWindow;
class LogViewer;
class LinkLabel;
class GuiBackupHost;
class OffWindowThread;
class StoreGlance;
class PresenceGlance;
class WindowThreadDialogs;

// What the main window works with, injected so tests can run it on temporary
// folders with a scripted clock, message boxes and folder picker.
struct MainWindowEnv {
  MainWindowEnv(FileSystem& fileSystem, Dialogs& boxes, const Clock& clockRef,
                FolderPicker& folderPicker, DriveInfo& driveInfo)
      : fs(fileSystem), dialogs(boxes), clock(clockRef), picker(folderPicker), drives(driveInfo) {}

  FileSystem& fs;
  Dialogs& dialogs;
  const Clock& clock;
  FolderPicker& picker;
  DriveInfo& drives;
  std::string programPath;  // the running program file
  std::string stationName;  // the machine's network name
  AutostartFolders autostart;
  // Whether the desktop offers a notification area; without one the window
  // must stay reachable, so it is minimised instead of hidden.
  bool trayAvailable = true;
  // Ends the program with an exit code (the real program leaves its event
  // loop; tests record the call).
  std::function<void(int)> exitProgram;
  // Lowers the process priority at creation (left out by tests).
  std::function<void()> lowerPriority;
  // The scheduler's period.
  int timerIntervalMs = kSchedulerPeriodMs;
  // The daily update check: the version file's address, the key release
  // files are signed with, the on-line probe (none: never on line, so
  // tests check nothing unless they say so) and how a program is started.
  std::string updateUrl;
  std::string updatePublicKeyHex;
  bool installed = false;  // installed by the package manager, which updates it
  std::function<bool()> isOnline;
  std::function<bool(const std::string& program, bool minimised)> startProgram;
  // Where notifications go (not owned); none: straight to the error window.
  Notifier* notifier = nullptr;
  // The power state and what keeps the machine awake during a run (not
  // owned); none: mains power, and nothing held.
  PowerSource* power = nullptr;
  SleepInhibitor* sleepInhibitor = nullptr;
  // The program's own log (the system log in the program; tests record it).
  std::function<void(const std::string&)> log;
};

// The other windows the main window opens; created after it, in the
// program's order, and handed over once they exist.
struct OtherWindows {
  ConfigurationDialog* config = nullptr;
  HelpWindow* help = nullptr;
  RestoreWindow* restore = nullptr;
  LogViewer* viewLog = nullptr;
  ErrorWindow* error = nullptr;
  ExclusionDialog* addExclusion = nullptr;
};

class MainWindow : public QWidget,
                   public ConfigOwner,
                   public ExclusionOwner,
                   private StartupHost,
                   private SchedulerHost,
                   private BackupWatchDisplay {
  Q_OBJECT

 public:
  // Sets up the station name, the timer, the master-station flag, the version
  // from the title, the tray icon, the F1 filter.
  explicit MainWindow(MainWindowEnv env, QWidget* parent = nullptr);
  ~MainWindow() override;

  void SetOtherWindows(const OtherWindows& forms);

  // ConfigOwner
  std::string StationName() const override { return stationName_; }
  StationSettings& Station() override { return station_; }
  void ConfigurationSaved() override;
  // ExclusionOwner
  const std::vector<std::string>& Exclusions() const override { return station_.exclusions; }
  void AddExclusion(const std::string& filter) override;

  // The start-up checks (run once the window is first shown, and again at a
  // later showing while they have not passed).
  void RunStartupChecks();

  // Handlers, public for the program's wiring and for tests.
  void SchedulerTick();
  void BackUpNow();
  // The mount table changed: a store found absent is looked for again (the
  // start-up checks first, when they stopped on it) and the due run starts.
  void MountsChanged();
  // The machine woke: the wait before the due run, or nothing when none is due.
  std::optional<int> WakeDelayMs() const { return scheduler_->WakeDelayMs(); }
  void RunIfDue() { scheduler_->RunIfDue(); }
  void AddBackupDirectory();     // add a directory
  void RemoveBackupDirectory();  // remove the selected directory
  void AddExclusionFilter();     // add an exclusion filter
  void RemoveExclusionFilter();  // remove the selected exclusion filter
  void DropDefaultExclusions();  // back up music, video and the swap file too
  void IncludeHiddenFoldersClicked(bool checked);
  void ShowMainWindow();
  void ShowMainWindowFromMenu() { ShowMainWindow(); }
  // A second start of the program asks for the window: it comes forward
  // (during a run too, showing its progress); true once it is shown.
  bool ShowForSecondStart();
  // The stop button: the run under way stops at its next file boundary.
  void StopRun();
  void ConfigureFromMenu();
  void Configure();
  void ShowHelpWindow();
  void Quit();
  // The session or a signal ends the program: a run in progress stops at
  // its next file boundary, the icon goes and the event loop is left.
  void EndWithoutQuestion();
  void OpenRestoreWindow();
  void OpenLogViewer();
  // Whether a disk of the list is here, asked off the window's thread.
  StorePresenceCheck StorePresence();
  // The widest entry of the directory list, in pixels, as the list's
  // horizontal scrolling extent.
  int UpdateHorizontalExtent();

  // State, for the program's other windows and for tests.
  bool FirstShowPending() const { return firstShowPending_; }
  bool IsMasterStation() const { return masterStation_; }
  const std::string& CurrentVersion() const { return currentVersion_; }
  int LastUpdateCheck() const { return updateStep_->LastUpdateCheck(); }
  const std::optional<Day>& LastBackupDate() const { return station_.lastBackupDate; }
  const std::string& StartupFolder() const { return startupChecks_.StartupFolder(); }
  TrayIcon& Tray() { return *systray_; }
  QTimer& SchedulerTimer() { return *schedulerTimer_; }
  QMenu& TrayMenu() { return *trayMenu_; }
  // The status block's lines and the tray menu's status lines, as shown.
  QStringList StatusLines() const;
  QStringList TrayStatusLines() const;
  // The outcome of the latest backup run started by this window.
  BackupOutcome LastOutcome() const { return scheduler_->LastOutcome(); }
  const BackupWatch& Watch() const { return *watch_; }
  // VARNOKET.INI's ALERTE: days without a success before the warning.
  int AlertDays() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildStatusBlock(QVBoxLayout* top);
  // The two lists' groups (given back: they are locked during a run) and
  // the row of buttons at the bottom.
  QWidget* BuildDirectoryGroup(QVBoxLayout* top);
  QWidget* BuildExclusionGroup(QVBoxLayout* top);
  void BuildBottomButtons(QVBoxLayout* top);
  void BuildTray();
  // The status block and the tray menu's lines, from the state now.
  void RefreshStatus();
  // During a run: only what the run's progress says changes.
  void ShowRunUnderWay();
  // The store did not answer in time: the block is drawn again a moment
  // later, until it does.
  void RefreshWhenStoreAnswers();
  // Whether the configured root answers within half a second, asked off
  // the window's thread; true with no root.
  bool StoreAnswers();
  // Whether the store answers for a change of the backup set; says so in a
  // box when it does not.
  bool StoreTakesChanges();
  // The start-up waited on a store that did not answer: asked again every
  // second, the checks (and a due run) follow once it answers.
  void StartWhenStoreAnswers();
  // With several disks in turn: the first one here becomes the one the
  // program works on; the date the warnings count from (the most recent
  // disk's); each disk's line; the day's reminder for a disk long away.
  void ChooseHomeStore();
  std::optional<Day> WatchedDate() const;
  void RemindAbsentStores();
  // Each disk's last success, asked once for a whole refresh of the
  // status; none with one disk.
  std::vector<StoreAge> CurrentStoreAges(const LocalDateTime& now) const;
  std::optional<Day> WatchedDateOf(const std::vector<StoreAge>& ages,
                                   const LocalDateTime& now) const;
  // A run starts (true) or ends: the lists and buttons are locked, the
  // progress and the stop button shown.
  void SetRunning(bool running);
  void ShowRunProgress(const RunProgress& progress);
  void RefreshDirectoryList();
  void RefreshExclusionList();
  void UpdateSaveNowButton();
  void ShowConfiguration();
  void ShowHelp();
  void PostCloseRequest();
  void EndProgram();
  // StartupHost
  std::string ConfiguredRoot() const override { return BackupRoot(); }
  void OpenConfiguration() override { ShowConfiguration(); }
  void EndProgramNow() override;
  void ShowBackupSet() override;
  void DirectoryListChanged() override;
  std::string RecordedStoreId() const override;
  void StoreAbsent(const std::string& text) override;
  // The tick's update step: the exchange-file test or the daily version
  // check, through the two download components.
  UpdateTickResult RunUpdateStep() override;
  // SchedulerHost
  const ProgramSettings& Program() const override;
  void StopTimer() override;
  void StartTimer() override;
  void RunEnded(BackupOutcome outcome, bool askedByUser) override;
  // BackupWatchDisplay
  void ShowLastSuccess(const std::string& text, bool warning) override;
  // Without a notification area: said once, in a notification and the log.
  void TellNoTray();
  std::string BackupRoot() const;

  MainWindowEnv env_;
  OtherWindows otherWindows_;
  std::string stationName_;
  StationSettings station_;
  BackupSetEditor editor_;
  bool firstShowPending_ = true;
  bool checksQueued_ = false;
  bool centred_ = false;
  bool masterStation_ = false;
  StartupChecks startupChecks_;
  std::string currentVersion_;
  int horizontalExtent_ = 0;

  QTimer* schedulerTimer_ = nullptr;
  std::unique_ptr<TrayIcon> systray_;
  std::vector<QIcon> trayPictures_;
  QMenu* trayMenu_ = nullptr;
  QAction* configureAction_ = nullptr;
  QAction* showWindowAction_ = nullptr;
  QAction* helpAction_ = nullptr;
  QAction* quitAction_ = nullptr;
  QAction* backUpNowAction_ = nullptr;
  QListWidget* directories_ = nullptr;
  QListWidget* exclusions_ = nullptr;
  QCheckBox* includeHidden_ = nullptr;
  QLabel* defaultExclusionsLabel_ = nullptr;
  QPushButton* dropDefaultsButton_ = nullptr;
  QPushButton* saveNowButton_ = nullptr;
  QPushButton* configureButton_ = nullptr;
  QPushButton* restoreButton_ = nullptr;
  std::vector<QWidget*> lockedDuringRun_;  // the controls out of reach during a run
  std::vector<bool> lockedStates_;         // their own states before it
  QLabel* lastBackupLabel_ = nullptr;
  QLabel* lastRunLabel_ = nullptr;
  QLabel* nextBackupLabel_ = nullptr;
  QLabel* freeSpaceLabel_ = nullptr;
  QProgressBar* runBar_ = nullptr;
  QLabel* runFileLabel_ = nullptr;
  QPushButton* stopRunButton_ = nullptr;
  QAction* trayStatusAction_ = nullptr;
  QAction* trayNextAction_ = nullptr;
  QAction* traySeparator_ = nullptr;        // the disks' lines go above it
  std::vector<QAction*> trayStoreActions_;  // one per disk, with several
  std::optional<Day> storesRemindedOn_;
  std::string lastSuccessText_;
  // The store's own facts for the status block, read off the window's thread.
  std::unique_ptr<StoreGlance> storeGlance_;
  // Whether each disk of the list is here, asked off the window's thread.
  std::unique_ptr<PresenceGlance> presence_;
  // The log for its viewer, read off the window's thread.
  std::unique_ptr<QuestionOffThread<LogLoad>> logQuestion_;
  // Whether the store answers, asked before the restore window opens.
  std::unique_ptr<QuestionOffThread<bool>> storeQuestion_;
  bool glanceRetryQueued_ = false;
  bool startRetryQueued_ = false;
  std::optional<RunProgress> progress_;  // set while a run copies
  std::unique_ptr<GuiBackupHost> host_;
  // The run works on a thread of its own; its boxes come back here.
  std::unique_ptr<OffWindowThread> runThread_;
  std::unique_ptr<WindowThreadDialogs> runDialogs_;
  std::unique_ptr<DailyScheduler> scheduler_;
  std::unique_ptr<GuiUpdateHost> updateHost_;
  std::unique_ptr<UpdateStep> updateStep_;
  std::unique_ptr<Notifier> windowNotifier_;  // when the environment gives none
  Notifier* notifier_ = nullptr;
  std::unique_ptr<BackupWatch> watch_;
  QString baseTitle_;
  bool noTrayTold_ = false;
  StartupOutcome lastStartup_ = StartupOutcome::kRetry;
};

}  // namespace varnoket
