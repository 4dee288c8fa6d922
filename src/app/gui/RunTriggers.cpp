#include "app/gui/RunTriggers.h"

#include <QSocketNotifier>
#include <QTimer>

#include "desktop/gui/WakeSignal.h"

namespace varnoket {

RunTriggers::RunTriggers(RunTriggerCalls calls, QObject* parent)
    : QObject(parent), calls_(std::move(calls)) {
  if (mounts_.Watching()) {
    // The mount table reports a change as an exceptional condition (POLLPRI).
    mountNotifier_ = new QSocketNotifier(mounts_.Fd(), QSocketNotifier::Exception, this);
    connect(mountNotifier_, &QSocketNotifier::activated, this, [this] { MountsActivated(); });
  }
  wakeTimer_ = new QTimer(this);
  wakeTimer_->setSingleShot(true);
  connect(wakeTimer_, &QTimer::timeout, this, [this] {
    if (calls_.runIfDue) calls_.runIfDue();
  });
  wake_ = new WakeSignal([this] { Woke(); }, this);
}

RunTriggers::~RunTriggers() = default;

void RunTriggers::MountsActivated() {
  // Takes the kernel's mark, so the same change is not reported again.
  mounts_.Changed(0);
  if (calls_.mountsChanged) calls_.mountsChanged();
}

void RunTriggers::Woke() {
  const std::optional<int> delay = calls_.wakeDelayMs ? calls_.wakeDelayMs() : std::nullopt;
  if (!delay) return;
  // Another wake during the wait starts it again: the desktop settles anew.
  wakeTimer_->start(*delay);
}

bool RunTriggers::WaitingAfterWake() const {
  return wakeTimer_->isActive();
}

}  // namespace varnoket
