// Notifications through the desktop's notification service
// (org.freedesktop.Notifications on the session bus). The call is sent
// without waiting; when the bus is missing, the service absent or silent past
// the timeout, or the call refused, the notification goes to the fallback
// (the program's error window) instead, so it is never lost and the program
// never blocks on the desktop.
#pragma once

#include <QObject>
#include <functional>

#include "desktop/Notifier.h"

namespace varnoket {

class DbusNotifier final : public QObject, public Notifier {
  Q_OBJECT

 public:
  static constexpr int kDefaultTimeoutMs = 5000;

  explicit DbusNotifier(std::function<void(const Notification&)> fallback,
                        int timeoutMs = kDefaultTimeoutMs, QObject* parent = nullptr);

  void Notify(const Notification& notification) override;

  // Calls sent and not answered yet (for tests).
  int Pending() const { return pending_; }

 private:
  std::function<void(const Notification&)> fallback_;
  int timeoutMs_;
  int pending_ = 0;
};

}  // namespace varnoket
