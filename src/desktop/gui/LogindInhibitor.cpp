#include "desktop/gui/LogindInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace varnoket {

bool LogindInhibitor::Hold() {
  if (held_.isValid()) return true;
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call =
      QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                     "org.freedesktop.login1.Manager", "Inhibit");
  call << QString("sleep") << QString(kInhibitWho) << QString::fromUtf8(kInhibitWhy)
       << QString("block");
  const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs_);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  // The reply's copy of the descriptor goes with the reply; this one stays.
  held_ = reply.arguments().first().value<QDBusUnixFileDescriptor>();
  return held_.isValid();
}

void LogindInhibitor::Release() {
  held_ = QDBusUnixFileDescriptor();
}

}  // namespace varnoket
