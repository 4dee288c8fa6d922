#include "app/gui/ProgramWindows.h"

#include <QTimer>

namespace varnoket {

ProgramWindows::ProgramWindows(MainWindowEnv env, const std::string& programFolder) {
  FileSystem& fs = env.fs;
  Dialogs& dialogs = env.dialogs;
  FolderPicker& picker = env.picker;
  TDriveInfo& drives = env.drives;

  form1_ = std::make_unique<TForm1>(std::move(env));
  config_ = std::make_unique<TFormConfig>(fs, dialogs, picker, drives, programFolder);
  aide_ = std::make_unique<TFormAide>();
  // The restore window writes into its report window, so the report exists
  // first.
  infoRestaure_ = std::make_unique<TFormInfoRestaure>(dialogs);
  RestoreWindowEnv restoreEnv(fs, dialogs);
  restoreEnv.backupRoot = [this] { return config_->Settings().backupRoot; };
  restoreEnv.stationName = [this] { return form1_->StationName(); };
  restoreEnv.stopTimer = [this] { form1_->Timer1().stop(); };
  restoreEnv.startTimer = [this] { form1_->Timer1().start(); };
  restaure_ = std::make_unique<TFormRestaure>(restoreEnv, *infoRestaure_);
  viewLog_ = std::make_unique<TFormViewLog>();
  error_ = std::make_unique<TFormError>();
  addExclusion_ = std::make_unique<TFormAddExclusion>(dialogs);

  config_->SetOwner(form1_.get());
  addExclusion_->SetOwner(form1_.get());
  form1_->SetForms({config_.get(), aide_.get(), restaure_.get(), viewLog_.get(), error_.get(),
                    addExclusion_.get()});
}

ProgramWindows::~ProgramWindows() {
  form1_.reset();
  addExclusion_.reset();
  error_.reset();
  viewLog_.reset();
  restaure_.reset();
  infoRestaure_.reset();
  aide_.reset();
  config_.reset();
}

}  // namespace varnoket
