#include "app/gui/VarnoketProgram.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>

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

  form1_ = std::make_unique<TForm1>(std::move(env));
  config_ =
      std::make_unique<TFormConfig>(DefaultFileSystem(), dialogs_, picker_, drives_, programFolder);
  aide_ = std::make_unique<TFormAide>();
  // The restore window writes into its report window, so the report exists
  // first.
  infoRestaure_ = std::make_unique<TFormInfoRestaure>(dialogs_);
  restaure_ = std::make_unique<TFormRestaure>(RestoreEnv(), *infoRestaure_);
  viewLog_ = std::make_unique<TFormViewLog>();
  error_ = std::make_unique<TFormError>();
  addExclusion_ = std::make_unique<TFormAddExclusion>(dialogs_);

  config_->SetOwner(form1_.get());
  addExclusion_->SetOwner(form1_.get());
  form1_->SetForms({config_.get(), aide_.get(), restaure_.get(), viewLog_.get(), error_.get(),
                    addExclusion_.get()});
}

RestoreWindowEnv VarnoketProgram::RestoreEnv() {
  RestoreWindowEnv env(DefaultFileSystem(), dialogs_);
  env.backupRoot = [this] { return config_->Settings().backupRoot; };
  env.stationName = [this] { return form1_->StationName(); };
  env.stopTimer = [this] { form1_->Timer1().stop(); };
  env.startTimer = [this] { form1_->Timer1().start(); };
  return env;
}

VarnoketProgram::~VarnoketProgram() = default;

void VarnoketProgram::Start() {
  form1_->show();
}

}  // namespace varnoket
