#include "desktop/gui/DbusNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QVariantMap>

#include "platform/ProductName.h"
#include "platform/Translation.h"

namespace varnoket {
namespace {

constexpr const char* kNotificationService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";

}  // namespace

DbusNotifier::DbusNotifier(std::function<void(const Notification&)> fallback, int timeoutMs,
                           QObject* parent)
    : QObject(parent), fallback_(std::move(fallback)), timeoutMs_(timeoutMs) {}

void DbusNotifier::Notify(const Notification& notification) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    if (fallback_) fallback_(notification);
    return;
  }
  QDBusMessage call =
      QDBusMessage::createMethodCall(kNotificationService, kPath, kInterface, "Notify");
  QVariantMap hints;
  // 1 normal, 2 critical: a critical one stays until the person dismisses it.
  hints.insert("urgency", QVariant::fromValue<uchar>(notification.critical ? 2 : 1));
  hints.insert("desktop-entry", QString("varnoket"));
  call << QString(kProductName) << 0u
       << QString(notification.critical ? "dialog-warning" : "dialog-information")
       << QString::fromStdString(TranslateMessage(notification.summary))
       << QString::fromStdString(TranslateMessage(notification.body)) << QStringList() << hints
       << -1;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, timeoutMs_), this);
  ++pending_;
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, notification](QDBusPendingCallWatcher* done) {
            --pending_;
            done->deleteLater();
            if (done->isError() && fallback_) fallback_(notification);
          });
}

}  // namespace varnoket
