// The wake from suspend as logind tells it, on a private message bus that
// stands in for the system bus, with this test in logind's place.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>

#include "panel/schedule/sleep_watch.h"

namespace skyvane {
namespace {

constexpr int kLimitMs = 10'000;
// Long enough for a signal that is coming to arrive on a loaded machine.
constexpr int kSettleMs = 300;

void ProcessEventsFor(int ms) {
  const QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class SleepWatchTest : public testing::Test {
 protected:
  void SetUp() override {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    ASSERT_FALSE(daemon.isEmpty()) << "dbus-daemon is not installed";
    bus_daemon_.start(daemon, {"--session", "--nofork", "--nopidfile", "--print-address"});
    ASSERT_TRUE(bus_daemon_.waitForStarted(kLimitMs));
    QByteArray address;
    const QDeadlineTimer deadline(kLimitMs);
    while (!address.contains('\n') && !deadline.hasExpired()) {
      bus_daemon_.waitForReadyRead(kLimitMs);
      address += bus_daemon_.readAllStandardOutput();
    }
    address_ = QString::fromUtf8(address.trimmed());
    ASSERT_FALSE(address_.isEmpty());
  }

  void TearDown() override {
    QDBusConnection::disconnectFromBus(QStringLiteral("watch"));
    QDBusConnection::disconnectFromBus(QStringLiteral("login1"));
    QDBusConnection::disconnectFromBus(QStringLiteral("impostor"));
    bus_daemon_.kill();
    bus_daemon_.waitForFinished(kLimitMs);
  }

  QDBusConnection Connect(const QString& name) {
    return QDBusConnection::connectToBus(address_, name);
  }

  static void SendPrepareForSleep(QDBusConnection& from, bool starting) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(kLogindPath), QLatin1String(kLogindManager), QLatin1String(kPrepareForSleep));
    signal << starting;
    ASSERT_TRUE(from.send(signal));
  }

  QProcess bus_daemon_;
  QString address_;
};

TEST_F(SleepWatchTest, TellsTheWakeButNotTheSleep) {
  QDBusConnection logind = Connect(QStringLiteral("login1"));
  ASSERT_TRUE(logind.isConnected());
  ASSERT_TRUE(logind.registerService(QLatin1String(kLogindService)));
  SleepWatch watch(Connect(QStringLiteral("watch")));
  ASSERT_TRUE(watch.Listening());
  int woke = 0;
  QObject::connect(&watch, &SleepWatch::woke, [&] { ++woke; });

  SendPrepareForSleep(logind, true);
  ProcessEventsFor(kSettleMs);
  EXPECT_EQ(woke, 0);

  SendPrepareForSleep(logind, false);
  const QDeadlineTimer deadline(kLimitMs);
  while (woke == 0 && !deadline.hasExpired()) QCoreApplication::processEvents();
  EXPECT_EQ(woke, 1);
}

TEST_F(SleepWatchTest, HearsNoOneButLogind) {
  QDBusConnection logind = Connect(QStringLiteral("login1"));
  ASSERT_TRUE(logind.registerService(QLatin1String(kLogindService)));
  QDBusConnection impostor = Connect(QStringLiteral("impostor"));
  SleepWatch watch(Connect(QStringLiteral("watch")));
  int woke = 0;
  QObject::connect(&watch, &SleepWatch::woke, [&] { ++woke; });
  SendPrepareForSleep(impostor, false);
  ProcessEventsFor(kSettleMs);
  EXPECT_EQ(woke, 0);
}

TEST(SleepWatch, StaysSilentWithoutABus) {
  SleepWatch watch(QDBusConnection(QStringLiteral("no such bus")));
  EXPECT_FALSE(watch.Listening());
}

}  // namespace
}  // namespace skyvane
