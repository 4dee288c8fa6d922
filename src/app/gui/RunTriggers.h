// What starts the day's run besides the ten-minute timer: the mount table
// changing (the store's disk may have come after a run found it absent) and
// the machine waking from sleep (the due run then starts after the
// configured wait, once the desktop has settled). The decisions stay with
// the scheduler; this only turns the system's events into its calls.
#pragma once

#include <QObject>
#include <functional>
#include <optional>

#include "platform/MountWatcher.h"

class QSocketNotifier;
class QTimer;

namespace varnoket {

class WakeSignal;

struct RunTriggerCalls {
  // The mount table changed.
  std::function<void()> mountsChanged;
  // After a wake: the wait before the due run, or nothing when none is due.
  std::function<std::optional<int>()> wakeDelayMs;
  // The wait after a wake is over.
  std::function<void()> runIfDue;
};

class RunTriggers final : public QObject {
  Q_OBJECT

 public:
  explicit RunTriggers(RunTriggerCalls calls, QObject* parent = nullptr);
  ~RunTriggers() override;

  // The machine has woken (the login manager's signal, or a test).
  void Woke();
  bool WatchingMounts() const { return mounts_.Watching(); }
  bool WaitingAfterWake() const;

 private:
  void MountsActivated();

  RunTriggerCalls calls_;
  MountWatcher mounts_;
  QSocketNotifier* mountNotifier_ = nullptr;
  WakeSignal* wake_ = nullptr;
  QTimer* wakeTimer_ = nullptr;
};

}  // namespace varnoket
