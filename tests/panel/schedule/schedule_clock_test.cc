// The system's schedule clock: a wake-up comes at its wall time, a passed
// time wakes at once, and a disarmed clock stays silent.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include "panel/schedule/schedule_clock.h"

namespace skyvane {
namespace {

constexpr int kLimitMs = 10'000;
constexpr int kAheadMs = 200;
// Long enough for a wake-up that is coming to arrive on a loaded machine.
constexpr int kSettleMs = 2 * kAheadMs;

// Processes events until woke or the time is up; returns the wake-ups seen.
int WakeUpsWithin(SystemScheduleClock& clock, int ms, bool stop_at_first = true) {
  int woke = 0;
  const QMetaObject::Connection connection =
      QObject::connect(&clock, &ScheduleClock::woke, [&] { ++woke; });
  const QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired() && !(stop_at_first && woke > 0)) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  QObject::disconnect(connection);
  return woke;
}

TEST(SystemScheduleClock, WakesWhenTheWallClockReachesTheArmedTime) {
  SystemScheduleClock clock;
  const QDateTime armed = clock.Now().addMSecs(kAheadMs);
  clock.WakeAt(armed);
  EXPECT_EQ(WakeUpsWithin(clock, kLimitMs), 1);
  EXPECT_GE(clock.Now(), armed);
  // Spent: no second wake-up.
  EXPECT_EQ(WakeUpsWithin(clock, kSettleMs, false), 0);
}

TEST(SystemScheduleClock, ATimeThatHasPassedWakesAtOnce) {
  SystemScheduleClock clock;
  clock.WakeAt(clock.Now().addSecs(-3600));
  EXPECT_EQ(WakeUpsWithin(clock, kLimitMs), 1);
  clock.WakeAt(QDateTime::fromMSecsSinceEpoch(0));
  EXPECT_EQ(WakeUpsWithin(clock, kLimitMs), 1);
}

TEST(SystemScheduleClock, ALaterArmingReplacesTheEarlierOne) {
  SystemScheduleClock clock;
  clock.WakeAt(clock.Now().addMSecs(kAheadMs));
  clock.WakeAt(clock.Now().addSecs(3600));
  EXPECT_EQ(WakeUpsWithin(clock, kSettleMs, false), 0);
}

TEST(SystemScheduleClock, StaysSilentOnceDisarmed) {
  SystemScheduleClock clock;
  clock.WakeAt(clock.Now().addMSecs(kAheadMs));
  clock.Disarm();
  EXPECT_EQ(WakeUpsWithin(clock, kSettleMs, false), 0);
}

}  // namespace
}  // namespace skyvane
