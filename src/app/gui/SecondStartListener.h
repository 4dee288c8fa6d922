// The running program's ear for a second start of the same user: listens on
// the socket beside the instance marker and, when a second start asks,
// brings the main window forward through `show` (platform/InstanceLockSocket.h holds the
// exchange). Turns the socket's readiness into calls from the event loop,
// so modal windows and a backup's message pump serve it too.
#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "platform/InstanceLockSocket.h"

class QSocketNotifier;

namespace varnoket {

class SecondStartListener final : public QObject {
  Q_OBJECT

 public:
  // `show` brings the window forward; true when it is on screen.
  explicit SecondStartListener(std::function<bool()> show, QObject* parent = nullptr);
  ~SecondStartListener() override;

  // False, with `why`, when nothing can listen at `socketPath`: a second
  // start then finds no one and ends as it always did.
  bool Listen(const std::string& socketPath, std::string& why);

 private:
  std::function<bool()> show_;
  ShowRequests requests_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace varnoket
