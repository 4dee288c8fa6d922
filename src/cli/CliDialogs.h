// The message boxes of the settings commands: every text goes to standard
// error as the box would show it, every question is answered OK (the command
// itself is the person's choice), and the command learns whether a refusal
// was said.
#pragma once

#include <iostream>
#include <string>

#include "cli/ConsoleHost.h"
#include "platform/Dialogs.h"

namespace varnoket {

class CommandDialogs final : public Dialogs {
 public:
  DialogAnswer Error(const std::string& text, DialogButtons buttons) override {
    Say(text);
    return Agree(buttons);
  }
  DialogAnswer Warning(const std::string& text, DialogButtons buttons) override {
    // A question (OK and Cancel) is the window's "are you sure": the command
    // line was the answer, so it is neither printed nor counted.
    if (buttons == DialogButtons::kOk) Say(text);
    return Agree(buttons);
  }
  void Information(const std::string& text) override { Say(text); }
  void Message(const std::string& text) override { Say(text); }

  // True once a box has been shown (each one refuses or warns).
  bool Said() const { return said_; }

 private:
  void Say(const std::string& text) {
    std::cerr << ForTerminal(text) << '\n';
    said_ = true;
  }
  static DialogAnswer Agree(DialogButtons b) {
    return b == DialogButtons::kYesNo ? DialogAnswer::kYes : DialogAnswer::kOk;
  }
  bool said_ = false;
};

}  // namespace varnoket
