// Tells when the machine has woken from sleep: the login manager's
// PrepareForSleep(false) signal on the system bus. Nothing arrives where
// there is no login manager.
#pragma once

#include <QObject>
#include <functional>

namespace varnoket {

class WakeSignal final : public QObject {
  Q_OBJECT

 public:
  explicit WakeSignal(std::function<void()> onWake, QObject* parent = nullptr);

  // Whether the signal is listened to (a system bus was there).
  bool Listening() const { return listening_; }

 private slots:
  void PrepareForSleep(bool goingToSleep);

 private:
  std::function<void()> onWake_;
  bool listening_ = false;
};

}  // namespace varnoket
