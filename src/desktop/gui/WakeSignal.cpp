#include "desktop/gui/WakeSignal.h"

#include <QDBusConnection>

namespace varnoket {

WakeSignal::WakeSignal(std::function<void()> onWake, QObject* parent)
    : QObject(parent), onWake_(std::move(onWake)) {
  QDBusConnection bus = QDBusConnection::systemBus();
  listening_ = bus.isConnected() && bus.connect("org.freedesktop.login1", "/org/freedesktop/login1",
                                                "org.freedesktop.login1.Manager", "PrepareForSleep",
                                                this, SLOT(PrepareForSleep(bool)));
}

void WakeSignal::PrepareForSleep(bool goingToSleep) {
  if (!goingToSleep && onWake_) onWake_();
}

}  // namespace varnoket
