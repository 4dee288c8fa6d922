// The command-line tool's stand-ins for the window program: log lines and
// restore reports go to standard output as they are written, message boxes
// and the error window to standard error, and every question is answered yes.
#pragma once

#include <csignal>
#include <iostream>
#include <string>

#include "cli/BackupProgress.h"
#include "cli/ProgressLine.h"
#include "engine/BackupHost.h"
#include "platform/Dialogs.h"
#include "platform/Translation.h"
#include "restore/RestoreHost.h"

namespace varnoket {

// A message as the terminal shows it: in the person's language (the
// windows' catalogue), and with LF alone where message texts break lines
// with CR LF.
inline std::string ForTerminal(std::string text) {
  text = TranslateMessage(text);
  for (size_t pos; (pos = text.find("\r\n")) != std::string::npos;) text.erase(pos, 1);
  return text;
}

class ConsoleHost final : public BackupHost {
 public:
  ConsoleHost() = default;
  // The run's progress goes to `progress`; log lines go through `line`, which
  // on a terminal keeps the progress below them.
  ConsoleHost(BackupProgress& progress, ProgressLine& line) : progress_(&progress), line_(&line) {}

  void ShowErrorWindow(const std::string& text) override {
    if (line_ != nullptr) line_->Clear();
    std::cerr << ForTerminal(text) << '\n';
  }
  void Logged(const std::string& message) override {
    if (line_ != nullptr) {
      line_->Print(ForTerminal(message));
    } else {
      std::cout << ForTerminal(message) << '\n' << std::flush;
    }
  }
  void SetTrayHint(const std::string& hint) override {
    if (progress_ != nullptr) progress_->Hint(hint);
  }
  void ShowProgress(const RunProgress& progress) override {
    if (progress_ != nullptr) progress_->Update(progress);
  }
  bool StopRequested() const override { return stopSignal != 0; }

  // Set from a signal handler (SIGTERM, SIGINT, SIGHUP): the run stops at
  // the next file boundary and the tool ends.
  static inline volatile std::sig_atomic_t stopSignal = 0;

 private:
  BackupProgress* progress_ = nullptr;
  ProgressLine* line_ = nullptr;
};

// Restore and check reports go to standard output line by line; nothing
// stops a restore half way but the end of the tool.
class ConsoleRestoreHost final : public RestoreHost {
 public:
  ConsoleRestoreHost() = default;
  // Through `line`: on a terminal the report scrolls above the progress.
  explicit ConsoleRestoreHost(ProgressLine& line) : line_(&line) {}
  void Report(const std::string& line) override {
    if (line_ != nullptr) {
      line_->Print(TranslateMessage(line));
    } else {
      std::cout << TranslateMessage(line) << '\n';
    }
  }

 private:
  ProgressLine* line_ = nullptr;
};

class ConsoleDialogs final : public Dialogs {
 public:
  DialogAnswer Error(const std::string& text, DialogButtons buttons) override {
    std::cerr << ForTerminal(text) << '\n';
    return Yes(buttons);
  }
  DialogAnswer Warning(const std::string& text, DialogButtons buttons) override {
    std::cerr << ForTerminal(text) << '\n';
    return Yes(buttons);
  }
  void Information(const std::string& text) override { std::cout << ForTerminal(text) << '\n'; }
  void Message(const std::string& text) override { std::cout << ForTerminal(text) << '\n'; }

 private:
  static DialogAnswer Yes(DialogButtons b) {
    return b == DialogButtons::kYesNo ? DialogAnswer::kYes : DialogAnswer::kOk;
  }
};

}  // namespace varnoket
