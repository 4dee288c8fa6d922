#include "desktop/gui/UPowerSource.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariant>

namespace varnoket {
namespace {

constexpr const char* kPowerService = "org.freedesktop.UPower";
constexpr const char* kManagerPath = "/org/freedesktop/UPower";
constexpr const char* kDisplayDevicePath = "/org/freedesktop/UPower/devices/DisplayDevice";
constexpr const char* kDeviceInterface = "org.freedesktop.UPower.Device";

// One property, or an invalid value when the service does not answer it.
QVariant Property(QDBusConnection& bus, const char* path, const char* interface, const char* name,
                  int timeoutMs) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(kPowerService, path, "org.freedesktop.DBus.Properties", "Get");
  call << QString(interface) << QString(name);
  // Blocking without running the event loop: the caller is the scheduler's
  // tick, which must not see other events in the middle of its decision.
  const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return reply.arguments().first().value<QDBusVariant>().variant();
}

}  // namespace

PowerState UPowerSource::Read() {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return {};
  PowerState state;
  const QVariant onBattery = Property(bus, kManagerPath, kPowerService, "OnBattery", timeoutMs_);
  if (!onBattery.isValid() || !onBattery.toBool()) return state;
  state.onBattery = true;
  const QVariant percentage =
      Property(bus, kDisplayDevicePath, kDeviceInterface, "Percentage", timeoutMs_);
  bool isNumber = false;
  const double value = percentage.toDouble(&isNumber);
  if (percentage.isValid() && isNumber) state.percentage = value;
  return state;
}

}  // namespace varnoket
