#include "app/UnattendedDialogs.h"

namespace varnoket {

DialogAnswer UnattendedDialogs::Show(const std::string& text, DialogButtons buttons) {
  host_.ShowErrorWindow(text);
  return RefusalOf(buttons);
}

DialogAnswer UnattendedDialogs::Error(const std::string& text, DialogButtons buttons) {
  return Show(text, buttons);
}

DialogAnswer UnattendedDialogs::Warning(const std::string& text, DialogButtons buttons) {
  return Show(text, buttons);
}

void UnattendedDialogs::Information(const std::string& text) {
  Show(text, DialogButtons::kOk);
}

void UnattendedDialogs::Message(const std::string& text) {
  Show(text, DialogButtons::kOk);
}

}  // namespace varnoket
