#include "support/FakeDialogs.h"

namespace varnoket::test {

DialogAnswer FakeDialogs::Error(const std::string& text, DialogButtons buttons) {
  calls_.push_back({DialogKind::Error, text, buttons});
  return Answer(buttons);
}

DialogAnswer FakeDialogs::Warning(const std::string& text, DialogButtons buttons) {
  calls_.push_back({DialogKind::Warning, text, buttons});
  return Answer(buttons);
}

void FakeDialogs::Information(const std::string& text) {
  calls_.push_back({DialogKind::Information, text, DialogButtons::kOk});
}

void FakeDialogs::Message(const std::string& text) {
  calls_.push_back({DialogKind::Message, text, DialogButtons::kOk});
}

std::vector<std::string> FakeDialogs::Texts(DialogKind kind) const {
  std::vector<std::string> texts;
  for (const auto& call : calls_) {
    if (call.kind == kind) texts.push_back(call.text);
  }
  return texts;
}

void FakeDialogs::Clear() {
  calls_.clear();
  answers_.clear();
}

DialogAnswer FakeDialogs::Answer(DialogButtons buttons) {
  if (!answers_.empty()) {
    const DialogAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return buttons == DialogButtons::kYesNo ? DialogAnswer::kYes : DialogAnswer::kOk;
}

}  // namespace varnoket::test
