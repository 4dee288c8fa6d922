#include "app/gui/VarnoketProgram.h"

#include <QApplication>
#include <QSystemTrayIcon>

#include "platform/OnlineProbe.h"
#include "platform/Priority.h"
#include "platform/Process.h"
#include "platform/StationName.h"

namespace varnoket {

VarnoketProgram::VarnoketProgram(const std::string& programPath, const std::string& programFolder,
                                 const ProgramBuildSettings& settings) {
  MainWindowEnv env(DefaultFileSystem(), dialogs_, clock_, picker_, drives_);
  env.programPath = programPath;
  env.stationName = GetStationName();
  env.autostart = DefaultAutostartFolders();
  env.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
  env.exitProgram = [](int code) { QCoreApplication::exit(code); };
  env.lowerPriority = [] { LowerProcessPriority(); };
  env.timerIntervalMs = settings.timerIntervalMs;
  env.updateUrl = settings.updateUrl;
  env.updatePublicKeyHex = settings.publicKeyHex;
  env.isOnline = settings.assumeOnline ? std::function<bool()>([] { return true; })
                                       : std::function<bool()>([] { return IsOnline(); });
  env.startProgram = [](const std::string& program, bool) { return StartDetached(program); };

  windows_ = std::make_unique<ProgramWindows>(std::move(env), programFolder);
  endSignals_ = std::make_unique<EndSignals>([this] { windows_->Main().EndWithoutQuestion(); });
}

VarnoketProgram::~VarnoketProgram() = default;

void VarnoketProgram::Start() {
  windows_->Main().show();
}

}  // namespace varnoket
