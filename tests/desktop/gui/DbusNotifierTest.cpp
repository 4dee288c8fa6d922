// Notifications over a real session bus (a private dbus-daemon started by
// the test): the call and its arguments reach the service; a service that
// never answers, one that is missing, and a missing bus all end in the
// fallback without blocking the caller.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QElapsedTimer>
#include <QTest>
#include <QVariantMap>
#include <cstdlib>
#include <string>
#include <vector>

#include "desktop/gui/DbusNotifier.h"

namespace varnoket {
namespace {

// A stand-in notification service: records each call, answers with an id
// or, when silent, never answers.
class FakeNotifications : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  bool silent = false;
  QStringList summaries;
  QStringList bodies;
  QString appName;
  int urgency = -1;

 public slots:
  uint Notify(const QString& app, uint, const QString&, const QString& summary, const QString& body,
              const QStringList&, const QVariantMap& hints, int) {
    appName = app;
    summaries << summary;
    bodies << body;
    urgency = hints.value("urgency").toInt();
    if (silent) setDelayedReply(true);
    return 7;
  }
};

// A dbus-daemon of the test's own, its address in DBUS_SESSION_BUS_ADDRESS.
class PrivateBus {
 public:
  PrivateBus() {
    int out[2];
    if (::pipe(out) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], 1);
      ::close(out[0]);
      ::execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address=1",
               static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(out[1]);
    char buffer[512];
    std::string line;
    ssize_t n;
    while (line.find('\n') == std::string::npos &&
           (n = ::read(out[0], buffer, sizeof buffer)) > 0) {
      line.append(buffer, static_cast<size_t>(n));
    }
    ::close(out[0]);
    address_ = line.substr(0, line.find('\n'));
  }
  ~PrivateBus() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& Address() const { return address_; }

 private:
  pid_t pid_ = -1;
  std::string address_;
};

class DbusNotifierTest : public ::testing::Test {
 protected:
  // One bus for the suite: the process keeps its session connection.
  static void SetUpTestSuite() {
    bus_ = new PrivateBus;
    // The notifier reads the session bus from the environment at first use.
    if (!bus_->Address().empty()) {
      ::setenv("DBUS_SESSION_BUS_ADDRESS", bus_->Address().c_str(), 1);
    }
  }
  static void TearDownTestSuite() {
    delete bus_;
    bus_ = nullptr;
  }

  void SetUp() override {
    if (bus_->Address().empty()) GTEST_SKIP() << "dbus-daemon is not installed";
  }
  void TearDown() override {
    // Leaving the bus gives up the service name for the next test.
    if (offered_) QDBusConnection::disconnectFromBus(ServiceConnection());
  }

  QString ServiceConnection() const {
    return QString("service-") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }

  // Offers the stand-in service on a second connection to the same bus.
  bool OfferService() {
    QDBusConnection service =
        QDBusConnection::connectToBus(QString::fromStdString(bus_->Address()), ServiceConnection());
    offered_ = true;
    return service.isConnected() &&
           service.registerObject("/org/freedesktop/Notifications", &fake_,
                                  QDBusConnection::ExportAllSlots) &&
           service.registerService("org.freedesktop.Notifications");
  }

  static PrivateBus* bus_;
  bool offered_ = false;
  FakeNotifications fake_;
  std::vector<Notification> fallen_;
};

PrivateBus* DbusNotifierTest::bus_ = nullptr;

TEST_F(DbusNotifierTest, TheServiceGetsTheTextAndNothingFallsBack) {
  ASSERT_TRUE(OfferService());
  DbusNotifier notifier([this](const Notification& n) { fallen_.push_back(n); }, 2000);
  notifier.Notify({"Échec de la sauvegarde", "La sauvegarde du 08/12/2026 a échoué.", true});
  ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.Pending() == 0; }, 5000));
  EXPECT_EQ(fake_.summaries, QStringList{QString::fromUtf8("Échec de la sauvegarde")});
  EXPECT_EQ(fake_.bodies, QStringList{QString::fromUtf8("La sauvegarde du 08/12/2026 a échoué.")});
  EXPECT_EQ(fake_.appName, "Varnoket");
  EXPECT_EQ(fake_.urgency, 2);
  EXPECT_TRUE(fallen_.empty());
}

TEST_F(DbusNotifierTest, ASilentServiceFallsBackAfterTheTimeoutWithoutBlocking) {
  ASSERT_TRUE(OfferService());
  fake_.silent = true;
  DbusNotifier notifier([this](const Notification& n) { fallen_.push_back(n); }, 300);
  QElapsedTimer sending;
  sending.start();
  notifier.Notify({"Sauvegarde en retard", "texte", false});
  EXPECT_LT(sending.elapsed(), 250);  // the call returned before any answer could come
  EXPECT_TRUE(fallen_.empty());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !fallen_.empty(); }, 5000));
  EXPECT_EQ(fallen_[0].summary, "Sauvegarde en retard");
  EXPECT_EQ(fake_.summaries.size(), 1);  // it did arrive; only the answer was missing
}

TEST_F(DbusNotifierTest, AMissingServiceFallsBack) {
  DbusNotifier notifier([this](const Notification& n) { fallen_.push_back(n); }, 2000);
  notifier.Notify({"Pas de zone de notification", "texte", false});
  ASSERT_TRUE(QTest::qWaitFor([&] { return !fallen_.empty(); }, 5000));
  EXPECT_EQ(fallen_[0].summary, "Pas de zone de notification");
}

TEST(DbusNotifierWithoutBus, NoSessionBusFallsBackAtOnce) {
  ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/varnoket-test-bus", 1);
  std::vector<Notification> fallen;
  DbusNotifier notifier([&](const Notification& n) { fallen.push_back(n); });
  notifier.Notify({"Échec de la sauvegarde", "texte", true});
  ASSERT_EQ(fallen.size(), 1u);
  EXPECT_EQ(fallen[0].body, "texte");
  EXPECT_TRUE(fallen[0].critical);
}

}  // namespace
}  // namespace varnoket

#include "DbusNotifierTest.moc"
