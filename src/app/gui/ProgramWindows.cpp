#include "app/gui/ProgramWindows.h"

#include <QTimer>

#include "engine/StoreChoice.h"

namespace varnoket {

ProgramWindows::ProgramWindows(MainWindowEnv env, const std::string& programFolder) {
  FileSystem& fs = env.fs;
  Dialogs& dialogs = env.dialogs;
  FolderPicker& picker = env.picker;
  DriveInfo& drives = env.drives;

  main_ = std::make_unique<MainWindow>(std::move(env));
  config_ = std::make_unique<ConfigurationDialog>(fs, dialogs, picker, drives, programFolder);
  help_ = std::make_unique<HelpWindow>();
  // The restore window writes into its report window, so the report exists
  // first.
  restoreReport_ = std::make_unique<RestoreReportWindow>(dialogs);
  RestoreWindowEnv restoreEnv(fs, dialogs);
  restoreEnv.backupRoot = [this] { return config_->Settings().backupRoot; };
  restoreEnv.stationName = [this] { return main_->StationName(); };
  restoreEnv.storesHere = [this, &fs] {
    std::vector<std::pair<std::string, std::string>> here;
    for (const StoreEntry& store :
         StoresHere(fs, config_->Settings(), main_->StationName(), main_->StorePresence()))
      here.emplace_back(store.name, store.root);
    return here;
  };
  restoreEnv.workers = [this] { return static_cast<unsigned>(config_->Settings().workers); };
  restoreEnv.picker = &picker;  // the same folder box as the rest of the program
  restoreEnv.runThread = &restoreThread_;
  restoreEnv.stopTimer = [this] { main_->SchedulerTimer().stop(); };
  restoreEnv.startTimer = [this] { main_->SchedulerTimer().start(); };
  restore_ = std::make_unique<RestoreWindow>(restoreEnv, *restoreReport_);
  viewLog_ = std::make_unique<LogViewer>();
  error_ = std::make_unique<ErrorWindow>();
  addExclusion_ = std::make_unique<ExclusionDialog>(dialogs);

  config_->SetOwner(main_.get());
  addExclusion_->SetOwner(main_.get());
  main_->SetOtherWindows({config_.get(), help_.get(), restore_.get(), viewLog_.get(), error_.get(),
                          addExclusion_.get()});
}

ProgramWindows::~ProgramWindows() {
  main_.reset();
  addExclusion_.reset();
  error_.reset();
  viewLog_.reset();
  restore_.reset();
  restoreReport_.reset();
  help_.reset();
  config_.reset();
}

}  // namespace varnoket
