// The program's windows, created in the program's order (the main window
// first) and wired to the main window; the window program and the window
// tests both build them here.
#pragma once

#include <memory>
#include <string>

#include "app/gui/MainWindow.h"
#include "platform/gui/WindowThread.h"
#include "restore/gui/RestoreReportWindow.h"
#include "restore/gui/RestoreWindow.h"
#include "settings/gui/ConfigurationDialog.h"
#include "settings/gui/ExclusionDialog.h"
#include "ui/gui/ErrorWindow.h"
#include "ui/gui/HelpWindow.h"
#include "ui/gui/LogViewer.h"

namespace varnoket {

class ProgramWindows {
 public:
  // The other windows use the main window's services (file system, message
  // boxes, folder picker, drives); the configuration reads VARNOKET.INI in
  // `programFolder`.
  ProgramWindows(MainWindowEnv env, const std::string& programFolder);
  // The main window goes first: the others outlive every use it makes of
  // them.
  ~ProgramWindows();
  ProgramWindows(const ProgramWindows&) = delete;
  ProgramWindows& operator=(const ProgramWindows&) = delete;

  MainWindow& Main() { return *main_; }
  ConfigurationDialog& Config() { return *config_; }
  HelpWindow& Help() { return *help_; }
  RestoreReportWindow& RestoreReport() { return *restoreReport_; }
  RestoreWindow& Restore() { return *restore_; }
  LogViewer& ViewLog() { return *viewLog_; }
  ErrorWindow& Error() { return *error_; }
  ExclusionDialog& AddExclusion() { return *addExclusion_; }

 private:
  // The restore window's reads and runs happen here, off the window's thread.
  OffWindowThread restoreThread_;
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<ConfigurationDialog> config_;
  std::unique_ptr<HelpWindow> help_;
  std::unique_ptr<RestoreReportWindow> restoreReport_;
  std::unique_ptr<RestoreWindow> restore_;
  std::unique_ptr<LogViewer> viewLog_;
  std::unique_ptr<ErrorWindow> error_;
  std::unique_ptr<ExclusionDialog> addExclusion_;
};

}  // namespace varnoket
