#include "app/gui/VarnoketProgram.h"

#include <QApplication>
#include <QIcon>
#include <QSystemTrayIcon>

#include "desktop/SystemLog.h"
#include "desktop/gui/TrayIcon.h"
#include "platform/OnlineProbe.h"
#include "platform/Priority.h"
#include "platform/Process.h"
#include "platform/StationName.h"
#include "platform/Translation.h"

// The program's icon lives in a static library: its resource must be
// registered by name or the linker drops it. Q_INIT_RESOURCE only works
// outside namespaces.
static void RegisterProgramIcon() {
  Q_INIT_RESOURCE(ProgramIcon);
}

namespace varnoket {

VarnoketProgram::VarnoketProgram(const std::string& programPath, const std::string& settingsFolder,
                                 const ProgramBuildSettings& settings) {
  // The windows' icon, and the desktop entry that task bars and Wayland
  // compositors match the program's windows with.
  RegisterProgramIcon();
  QApplication::setWindowIcon(QIcon(":/org.varnoket.Varnoket.png"));
  QGuiApplication::setDesktopFileName("org.varnoket.Varnoket");
  Dialogs& boxes = settings.answerBoxes ? static_cast<Dialogs&>(answeringDialogs_) : dialogs_;
  MainWindowEnv env(DefaultFileSystem(), boxes, clock_, picker_, drives_);
  env.programPath = programPath;
  env.stationName = GetStationName();
  env.autostart = DefaultAutostartFolders();
  env.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
  env.exitProgram = [](int code) { QCoreApplication::exit(code); };
  env.lowerPriority = [] { LowerProcessPriority(); };
  env.timerIntervalMs = settings.timerIntervalMs;
  env.updateUrl = settings.updateUrl;
  env.updatePublicKeyHex = settings.publicKeyHex;
  env.installed = settings.installed;
  env.isOnline = settings.assumeOnline ? std::function<bool()>([] { return true; })
                                       : std::function<bool()>([] { return IsOnline(); });
  env.startProgram = [](const std::string& program, bool) { return StartDetached(program); };
  // Without a notification service, a passing notification shows beside the
  // tray icon, and one that must stay up (a failure) in the error window.
  notifier_ = std::make_unique<DbusNotifier>([this](const Notification& notification) {
    const std::string summary = TranslateMessage(notification.summary);
    const std::string body = TranslateMessage(notification.body);
    if (!notification.critical && windows_->Main().Tray().ShowBalloon(summary, body)) return;
    windows_->Error().ShowError(notification.summary + "\r\n" + notification.body);
  });
  env.notifier = notifier_.get();
  env.power = &power_;
  env.sleepInhibitor = &sleepInhibitor_;
  env.log = [](const std::string& line) { WriteSystemLog(line); };

  windows_ = std::make_unique<ProgramWindows>(std::move(env), settingsFolder);
  endSignals_ = std::make_unique<EndSignals>([this] { windows_->Main().EndWithoutQuestion(); });
  // A run also starts when the store's disk comes and after the machine wakes.
  MainWindow& main = windows_->Main();
  triggers_ = std::make_unique<RunTriggers>(RunTriggerCalls{[&main] { main.MountsChanged(); },
                                                            [&main] { return main.WakeDelayMs(); },
                                                            [&main] { main.RunIfDue(); }});
  secondStartSocket_ = settings.secondStartSocket;
}

VarnoketProgram::~VarnoketProgram() = default;

void VarnoketProgram::Start() {
  windows_->Main().show();
  if (secondStartSocket_.empty()) return;
  MainWindow& main = windows_->Main();
  secondStarts_ =
      std::make_unique<SecondStartListener>([&main] { return main.ShowForSecondStart(); });
  std::string why;
  if (!secondStarts_->Listen(secondStartSocket_, why)) {
    // The program runs on; a second start finds no one and ends.
    WriteSystemLog("Un second démarrage ne pourra pas ouvrir cette fenêtre : " + why + ".");
  }
}

}  // namespace varnoket
