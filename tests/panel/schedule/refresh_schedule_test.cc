// The refresh schedule on a clock the tests move by hand: the interval, the
// refresh after midnight, the retries after a fetch without an answer, the
// wake from suspend and the jump of the wall clock, and that nothing is
// armed while nothing is due.
#include <gtest/gtest.h>

#include <QDateTime>
#include <chrono>
#include <vector>

#include "panel/schedule/refresh_schedule.h"
#include "tests/panel/fake_schedule_clock.h"

namespace skyvane {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;
using Outcome = RefreshSchedule::Outcome;

class RefreshScheduleTest : public testing::Test {
 protected:
  RefreshScheduleTest() {
    QObject::connect(&schedule_, &RefreshSchedule::due,
                     [this] { due_at_.push_back(clock_.Now()); });
  }

  // Reports a refresh that starts when it is due and ends at once with
  // `outcome`.
  void AnswerEveryDueWith(Outcome outcome) {
    QObject::connect(&schedule_, &RefreshSchedule::due,
                     [this, outcome] { schedule_.RefreshEnded(outcome); });
  }

  FakeScheduleClock clock_{At(10, 0)};
  RefreshSchedule schedule_{&clock_};
  std::vector<QDateTime> due_at_;
};

TEST_F(RefreshScheduleTest, PlansNothingWithAnIntervalOfZero) {
  schedule_.RefreshEnded(Outcome::kUpdated);
  EXPECT_FALSE(schedule_.Next());
  EXPECT_FALSE(clock_.Armed());
  schedule_.Woke();
  clock_.Jump(At(18, 0));
  clock_.Advance(hours(72));  // past three midnights
  EXPECT_TRUE(due_at_.empty());
}

TEST_F(RefreshScheduleTest, PlansNothingBeforeTheFirstRefreshHasEnded) {
  schedule_.SetInterval(minutes(30));
  EXPECT_FALSE(schedule_.Next());
  EXPECT_FALSE(clock_.Armed());
}

TEST_F(RefreshScheduleTest, IsDueEveryIntervalAfterTheLastRefreshEnded) {
  schedule_.SetInterval(minutes(30));
  schedule_.RefreshEnded(Outcome::kUpdated);
  EXPECT_EQ(schedule_.Next(), At(10, 30));
  EXPECT_EQ(clock_.Armed(), At(10, 30));

  clock_.Advance(minutes(29));
  EXPECT_TRUE(due_at_.empty());
  clock_.Advance(minutes(1));
  ASSERT_EQ(due_at_, std::vector<QDateTime>{At(10, 30)});
  // Due and not yet refreshed: nothing more is armed or due.
  EXPECT_FALSE(schedule_.Next());
  EXPECT_FALSE(clock_.Armed());
  clock_.Advance(hours(2));
  EXPECT_EQ(due_at_.size(), 1u);

  // The refresh took until 12:30; the next is planned from its end.
  schedule_.RefreshEnded(Outcome::kUpdated);
  EXPECT_EQ(schedule_.Next(), At(13, 0));
}

TEST_F(RefreshScheduleTest, ARefreshOfAnyCausePutsTheNextOneOff) {
  schedule_.SetInterval(minutes(30));
  schedule_.RefreshEnded(Outcome::kUpdated);
  clock_.Advance(minutes(20));
  schedule_.RefreshStarted();  // the user asked for one at 10:20
  EXPECT_FALSE(clock_.Armed());
  clock_.Advance(minutes(15));  // past 10:30 while it runs
  EXPECT_TRUE(due_at_.empty());
  schedule_.RefreshEnded(Outcome::kUpdated);
  EXPECT_EQ(schedule_.Next(), At(11, 5));
}

TEST_F(RefreshScheduleTest, IsDueJustAfterMidnightOncePerNight) {
  AnswerEveryDueWith(Outcome::kUpdated);
  schedule_.SetInterval(hours(10));
  clock_.Jump(At(20, 0));
  schedule_.RefreshEnded(Outcome::kUpdated);
  EXPECT_EQ(schedule_.Next(), At(0, 1, 16));

  clock_.Advance(hours(28));  // to 00:00 on the 17th
  EXPECT_EQ(due_at_, (std::vector<QDateTime>{At(0, 1, 16), At(10, 1, 16), At(20, 1, 16)}));
  EXPECT_EQ(schedule_.Next(), At(0, 1, 17));
}

TEST_F(RefreshScheduleTest, RetriesARefreshWithoutAnswerSoonerUpToTheInterval) {
  struct Case {
    int interval;
    std::vector<int> waits;  // minutes before each retry, then after an answer
  };
  const std::vector<Case> cases = {
      {30, {1, 2, 4, 8, 16, 30, 30}},
      {3, {1, 2, 3, 3}},
      {1, {1, 1, 1}},
  };
  for (const Case& c : cases) {
    FakeScheduleClock clock(At(10, 0));
    RefreshSchedule schedule(&clock);
    schedule.SetInterval(minutes(c.interval));
    std::vector<int> waits;
    for (std::size_t i = 0; i < c.waits.size(); ++i) {
      schedule.RefreshEnded(Outcome::kNoAnswer);
      waits.push_back(static_cast<int>(clock.Now().secsTo(*schedule.Next()) / 60));
      clock.Advance(seconds(clock.Now().secsTo(*schedule.Next())));
    }
    EXPECT_EQ(waits, c.waits) << "interval " << c.interval;

    // An answer ends the retries, even one that held no forecast.
    schedule.RefreshEnded(Outcome::kFailed);
    EXPECT_EQ(clock.Now().secsTo(*schedule.Next()), c.interval * 60) << "interval " << c.interval;
    schedule.RefreshEnded(Outcome::kNoAnswer);
    EXPECT_EQ(clock.Now().secsTo(*schedule.Next()), 60) << "interval " << c.interval;
  }
}

TEST_F(RefreshScheduleTest, AFailureWithAnAnswerWaitsTheWholeInterval) {
  schedule_.SetInterval(minutes(30));
  schedule_.RefreshEnded(Outcome::kFailed);
  EXPECT_EQ(schedule_.Next(), At(10, 30));
}

TEST_F(RefreshScheduleTest, IsDueAtOnceOnWakeFromSuspendButNotTwice) {
  schedule_.SetInterval(minutes(30));
  schedule_.RefreshEnded(Outcome::kUpdated);
  clock_.Advance(minutes(5));
  schedule_.Woke();
  EXPECT_EQ(due_at_, std::vector<QDateTime>{At(10, 5)});
  // The wall clock's own report of the same resume comes while the refresh
  // is due: it is the same refresh.
  clock_.Jump(At(10, 5));
  schedule_.Woke();
  EXPECT_EQ(due_at_.size(), 1u);
}

TEST_F(RefreshScheduleTest, IsDueAtOnceWhenTheWallClockJumps) {
  schedule_.SetInterval(minutes(30));
  schedule_.RefreshEnded(Outcome::kUpdated);
  clock_.Jump(At(9, 0));  // set back an hour
  EXPECT_EQ(due_at_, std::vector<QDateTime>{At(9, 0)});
  schedule_.RefreshEnded(Outcome::kUpdated);
  EXPECT_EQ(schedule_.Next(), At(9, 30));
}

TEST_F(RefreshScheduleTest, ANewIntervalIsPlannedFromTheLastRefresh) {
  schedule_.RefreshEnded(Outcome::kUpdated);
  clock_.Advance(minutes(2));
  schedule_.SetInterval(minutes(5));
  EXPECT_EQ(schedule_.Next(), At(10, 5));

  // Shortened below what has passed: due at once.
  schedule_.SetInterval(minutes(60));
  clock_.Advance(minutes(18));
  schedule_.SetInterval(minutes(10));
  clock_.Advance(seconds(0));
  EXPECT_EQ(due_at_, std::vector<QDateTime>{At(10, 20)});

  // Back to 0 while idle disarms everything.
  schedule_.RefreshEnded(Outcome::kUpdated);
  schedule_.SetInterval(minutes(0));
  EXPECT_FALSE(schedule_.Next());
  EXPECT_FALSE(clock_.Armed());
}

TEST_F(RefreshScheduleTest, AnEarlyWakeUpIsNotYetDue) {
  schedule_.SetInterval(minutes(30));
  schedule_.RefreshEnded(Outcome::kUpdated);
  emit clock_.woke();  // a wake-up ahead of its time
  EXPECT_TRUE(due_at_.empty());
  EXPECT_EQ(clock_.Armed(), At(10, 30));
}

}  // namespace
}  // namespace skyvane
