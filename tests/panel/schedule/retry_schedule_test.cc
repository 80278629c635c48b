// Retries by default for a place, the server's Retry-After, the spread of
// planned refreshes, the wait while offline and the wake on a new day, on a
// clock the tests move by hand.
#include <gtest/gtest.h>

#include <QDateTime>
#include <chrono>
#include <optional>
#include <vector>

#include "panel/schedule/refresh_schedule.h"
#include "tests/panel/fake_schedule_clock.h"

namespace skyvane {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;
using Outcome = RefreshSchedule::Outcome;

TEST(RetrySchedule, RetriesByDefaultWithBackoffCappedAtThirtyMinutesOrTheInterval) {
  struct Case {
    int interval;
    Outcome outcome;
    std::vector<int> waits;  // minutes between the ends of failed refreshes
  };
  const std::vector<Case> cases = {
      {0, Outcome::kNoAnswer, {1, 2, 4, 8, 16, 30, 30, 30}},
      {0, Outcome::kBusy, {1, 2, 4, 8, 16, 30}},
      {10, Outcome::kBusy, {1, 2, 4, 8, 10, 10}},
      {60, Outcome::kNoAnswer, {1, 2, 4, 8, 16, 30, 30}},
  };
  for (const Case& c : cases) {
    FakeScheduleClock clock(At(10, 0));
    RefreshSchedule schedule(&clock);
    schedule.SetRetryByDefault(true);
    schedule.SetInterval(minutes(c.interval));
    std::vector<QDateTime> due;
    QObject::connect(&schedule, &RefreshSchedule::due, [&] {
      due.push_back(clock.Now());
      schedule.RefreshEnded(c.outcome);
    });
    schedule.RefreshEnded(c.outcome);
    QDateTime expected = At(10, 0);
    std::vector<QDateTime> expected_due;
    for (int wait : c.waits) expected_due.push_back(expected = expected.addSecs(wait * 60));
    clock.Advance(seconds(At(10, 0).secsTo(expected)));
    EXPECT_EQ(due, expected_due) << "interval " << c.interval;
  }
}

TEST(RetrySchedule, WithoutRetriesByDefaultAnIntervalOfZeroPlansNothing) {
  FakeScheduleClock clock(At(10, 0));
  RefreshSchedule schedule(&clock);
  schedule.RefreshEnded(Outcome::kNoAnswer);
  EXPECT_FALSE(clock.Armed());
  // A place's forecast: after an answer only the refresh after midnight.
  schedule.SetRetryByDefault(true);
  schedule.RefreshEnded(Outcome::kUpdated);
  EXPECT_EQ(schedule.Next(), At(0, 1, 16));
}

TEST(RetrySchedule, RetryAfterPutsARetryOffOnlyWhenLater) {
  FakeScheduleClock clock(At(10, 0));
  RefreshSchedule schedule(&clock);
  schedule.SetRetryByDefault(true);
  schedule.RefreshEnded(Outcome::kBusy, seconds(300));
  EXPECT_EQ(schedule.Next(), At(10, 5));
  schedule.RefreshStarted();
  schedule.RefreshEnded(Outcome::kBusy, seconds(10));
  EXPECT_EQ(schedule.Next(), At(10, 2));
  // An answer forgets both the backoff and the wish.
  schedule.RefreshStarted();
  schedule.SetInterval(minutes(30));
  schedule.RefreshEnded(Outcome::kUpdated, seconds(3000));
  EXPECT_EQ(schedule.Next(), At(10, 30));
}

TEST(RetrySchedule, SpreadMovesPlannedDelaysByAtMostATenth) {
  struct Case {
    double spread;
    Outcome outcome;
    QDateTime next;
    QDateTime end = At(10, 0);
  };
  const std::vector<Case> cases = {
      {0.1, Outcome::kUpdated, At(10, 33)},
      {-0.1, Outcome::kUpdated, At(10, 27)},
      {-5.0, Outcome::kUpdated, At(10, 27)},  // clamped
      {0.5, Outcome::kNoAnswer, QDateTime(QDate(2024, 1, 15), QTime(10, 1, 6))},
      // the minute after midnight
      {0.1, Outcome::kUpdated, QDateTime(QDate(2024, 1, 16), QTime(0, 1, 6)), At(23, 50)},
      {-0.1, Outcome::kUpdated, QDateTime(QDate(2024, 1, 16), QTime(0, 0, 54)), At(23, 50)},
  };
  for (const Case& c : cases) {
    FakeScheduleClock clock(c.end);
    RefreshSchedule schedule(&clock);
    schedule.SetSpread([&c] { return c.spread; });
    schedule.SetInterval(minutes(30));
    schedule.RefreshEnded(c.outcome);
    EXPECT_EQ(schedule.Next(), c.next) << c.spread;
  }
}

TEST(RetrySchedule, WaitsWhileOfflineAndTriesSoonAfterTheNetworkIsBack) {
  FakeScheduleClock clock(At(10, 0));
  RefreshSchedule schedule(&clock);
  std::vector<QDateTime> due;
  QObject::connect(&schedule, &RefreshSchedule::due, [&] { due.push_back(clock.Now()); });
  schedule.SetRetryByDefault(true);
  schedule.SetOnline(false);
  schedule.RefreshEnded(Outcome::kNoAnswer);
  clock.Advance(hours(1));
  EXPECT_TRUE(due.empty());
  EXPECT_FALSE(clock.Armed());  // no wake-ups while waiting
  schedule.SetOnline(true);
  clock.Advance(seconds(2));
  EXPECT_TRUE(due.empty());
  clock.Advance(seconds(1));
  EXPECT_EQ(due, std::vector<QDateTime>{At(11, 0).addSecs(3)});
}

TEST(RetrySchedule, AWakeOnANewDayRefreshesAndOneOnTheSameDayDoesNot) {
  FakeScheduleClock clock(At(22, 0));
  RefreshSchedule schedule(&clock);
  int due = 0;
  QObject::connect(&schedule, &RefreshSchedule::due, [&] { ++due; });
  schedule.SetRetryByDefault(true);
  schedule.RefreshEnded(Outcome::kUpdated);
  clock.Jump(At(23, 0));  // woke the same evening
  EXPECT_EQ(due, 0);
  EXPECT_EQ(clock.Armed(), At(0, 1, 16));  // the midnight refresh is armed again
  clock.Jump(At(8, 0, 16));                // slept through midnight
  EXPECT_EQ(due, 1);
}

}  // namespace
}  // namespace skyvane
