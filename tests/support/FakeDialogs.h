// A scripted stand-in for the message boxes: records every box shown (kind,
// text, buttons) and answers from a queue, or with OK / Yes when the queue is
// empty.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace varnoket::test {

enum class DialogKind { Error, Warning, Information, Message };

struct DialogCall {
  DialogKind kind;
  std::string text;
  DialogButtons buttons = DialogButtons::kOk;
};

class FakeDialogs : public Dialogs {
 public:
  DialogAnswer Error(const std::string& text, DialogButtons buttons = DialogButtons::kOk) override;
  DialogAnswer Warning(const std::string& text,
                       DialogButtons buttons = DialogButtons::kOk) override;
  void Information(const std::string& text) override;
  void Message(const std::string& text) override;

  // The answer of the next Error or Warning box (in queue order).
  void QueueAnswer(DialogAnswer answer) { answers_.push_back(answer); }

  const std::vector<DialogCall>& calls() const { return calls_; }
  // The texts of the boxes of one kind, in the order shown.
  std::vector<std::string> Texts(DialogKind kind) const;
  size_t Count(DialogKind kind) const { return Texts(kind).size(); }
  void Clear();

 private:
  DialogAnswer Answer(DialogButtons buttons);

  std::vector<DialogCall> calls_;
  std::deque<DialogAnswer> answers_;
};

}  // namespace varnoket::test
