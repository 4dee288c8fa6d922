// Every message box of the program goes through this interface: the window
// program shows real boxes, the command-line tool prints, tests script the
// answers and record each text.
#pragma once

#include <string>

namespace varnoket {

enum class DialogButtons { kOk, kOkCancel, kYesNo };
enum class DialogAnswer { kOk, kCancel, kYes, kNo };

// The answer that does nothing for a set of buttons: what a box closed
// without a choice, or a box nobody is there to answer, gives.
constexpr DialogAnswer RefusalOf(DialogButtons buttons) {
  switch (buttons) {
    case DialogButtons::kOk:
      return DialogAnswer::kOk;
    case DialogButtons::kOkCancel:
      return DialogAnswer::kCancel;
    case DialogButtons::kYesNo:
      return DialogAnswer::kNo;
  }
  return DialogAnswer::kCancel;
}

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal error box with the given buttons.
  virtual DialogAnswer Error(const std::string& text,
                             DialogButtons buttons = DialogButtons::kOk) = 0;
  // A modal warning box with the given buttons.
  virtual DialogAnswer Warning(const std::string& text,
                               DialogButtons buttons = DialogButtons::kOk) = 0;
  // A modal information box with one OK button.
  virtual void Information(const std::string& text) = 0;
  // A plain message with the program's title and one OK button.
  virtual void Message(const std::string& text) = 0;
};

}  // namespace varnoket
