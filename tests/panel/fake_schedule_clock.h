// A schedule clock that tests set and advance by hand.
#ifndef SKYVANE_TESTS_PANEL_FAKE_SCHEDULE_CLOCK_H_
#define SKYVANE_TESTS_PANEL_FAKE_SCHEDULE_CLOCK_H_

#include <QDateTime>
#include <chrono>
#include <optional>

#include "panel/schedule/schedule_clock.h"

namespace skyvane {

// A local time on a day of January 2024, far from any change of daylight
// saving time.
inline QDateTime At(int hour, int minute, int day = 15) {
  return QDateTime(QDate(2024, 1, day), QTime(hour, minute));
}

class FakeScheduleClock : public ScheduleClock {
 public:
  explicit FakeScheduleClock(QDateTime now) : now_(std::move(now)) {}

  QDateTime Now() const override { return now_; }
  void WakeAt(const QDateTime& at) override { armed_ = at; }
  void Disarm() override { armed_.reset(); }

  // The armed wake-up, if any.
  const std::optional<QDateTime>& Armed() const { return armed_; }

  // Lets `step` pass. Each armed time reached on the way wakes the owner
  // with the clock standing at that time (an armed time already passed
  // wakes at once); the clock then goes on to the end of the step.
  void Advance(std::chrono::seconds step) {
    const QDateTime end = now_.addSecs(step.count());
    while (armed_ && *armed_ <= end) {
      if (*armed_ > now_) now_ = *armed_;
      armed_.reset();
      emit woke();
    }
    now_ = end;
  }

  // Sets the wall clock to `to` in one step, as setting the clock or a
  // resume from suspend does; an armed wake-up is cancelled and reported
  // as a jump.
  void Jump(const QDateTime& to) {
    now_ = to;
    if (!armed_) return;
    armed_.reset();
    emit jumped();
  }

 private:
  QDateTime now_;
  std::optional<QDateTime> armed_;
};

}  // namespace skyvane

#endif  // SKYVANE_TESTS_PANEL_FAKE_SCHEDULE_CLOCK_H_
