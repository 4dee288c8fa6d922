// The program's windows, created in the program's order (the main window
// first) and wired to the main window; the window program and the window
// tests both build them here.
#pragma once

#include <memory>
#include <string>

#include "app/gui/TForm1.h"
#include "restore/gui/TFormInfoRestaure.h"
#include "restore/gui/TFormRestaure.h"
#include "settings/gui/TFormAddExclusion.h"
#include "settings/gui/TFormConfig.h"
#include "ui/gui/TFormAide.h"
#include "ui/gui/TFormError.h"
#include "ui/gui/TFormViewLog.h"

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

  TForm1& Form1() { return *form1_; }
  TFormConfig& Config() { return *config_; }
  TFormAide& Aide() { return *aide_; }
  TFormInfoRestaure& InfoRestaure() { return *infoRestaure_; }
  TFormRestaure& Restaure() { return *restaure_; }
  TFormViewLog& ViewLog() { return *viewLog_; }
  TFormError& Error() { return *error_; }
  TFormAddExclusion& AddExclusion() { return *addExclusion_; }

 private:
  std::unique_ptr<TForm1> form1_;
  std::unique_ptr<TFormConfig> config_;
  std::unique_ptr<TFormAide> aide_;
  std::unique_ptr<TFormInfoRestaure> infoRestaure_;
  std::unique_ptr<TFormRestaure> restaure_;
  std::unique_ptr<TFormViewLog> viewLog_;
  std::unique_ptr<TFormError> error_;
  std::unique_ptr<TFormAddExclusion> addExclusion_;
};

}  // namespace varnoket
