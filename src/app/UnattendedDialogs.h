// The message boxes of a run nobody asked for at the screen: the day's
// scheduled run, and the runs after the machine wakes or the store's disk
// comes. A modal box there would hold the run (with the station locked) and
// the scheduler's timer until someone answers, and no later day would be
// backed up meanwhile. Each box's text goes to the error window instead,
// which never waits and whose text the failure's notification carries; a
// question takes its refusing answer (Cancel, No), never "go on".
#pragma once

#include <string>
#include <vector>

#include "engine/BackupHost.h"
#include "platform/Dialogs.h"

namespace varnoket {

class UnattendedDialogs final : public Dialogs {
 public:
  explicit UnattendedDialogs(BackupHost& host) : host_(host) {}

  DialogAnswer Error(const std::string& text, DialogButtons buttons = DialogButtons::kOk) override;
  DialogAnswer Warning(const std::string& text,
                       DialogButtons buttons = DialogButtons::kOk) override;
  void Information(const std::string& text) override;
  void Message(const std::string& text) override;

 private:
  DialogAnswer Show(const std::string& text, DialogButtons buttons);

  BackupHost& host_;
};

}  // namespace varnoket
