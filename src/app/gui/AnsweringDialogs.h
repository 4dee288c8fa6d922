// Message boxes that answer themselves, for a test build of the program that
// is driven from outside (over D-Bus) and has nobody at the screen: each box
// takes its first button (OK, Yes) and its text goes to the error stream, so
// the driving test sees what was asked.
#pragma once

#include <cstdio>

#include "platform/Dialogs.h"

namespace varnoket {

class AnsweringDialogs final : public Dialogs {
 public:
  DialogAnswer Error(const std::string& text, DialogButtons buttons) override {
    return Answer("Erreur", text, buttons);
  }
  DialogAnswer Warning(const std::string& text, DialogButtons buttons) override {
    return Answer("Avertissement", text, buttons);
  }
  void Information(const std::string& text) override { Answer("Information", text, {}); }
  void Message(const std::string& text) override { Answer("Message", text, {}); }

 private:
  static DialogAnswer Answer(const char* kind, const std::string& text, DialogButtons buttons) {
    std::fprintf(stderr, "box %s: %s\n", kind, text.c_str());
    std::fflush(stderr);
    return buttons == DialogButtons::kYesNo ? DialogAnswer::kYes : DialogAnswer::kOk;
  }
};

}  // namespace varnoket
