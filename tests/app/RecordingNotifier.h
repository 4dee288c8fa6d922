// A Notifier that keeps every notification it is given, in order.
#pragma once

#include <string>
#include <vector>

#include "desktop/Notifier.h"

namespace varnoket::test {

class RecordingNotifier final : public Notifier {
 public:
  void Notify(const Notification& notification) override { sent.push_back(notification); }

  std::vector<std::string> Summaries() const {
    std::vector<std::string> out;
    for (const auto& n : sent) out.push_back(n.summary);
    return out;
  }

  std::vector<Notification> sent;
};

}  // namespace varnoket::test
