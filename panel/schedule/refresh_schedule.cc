#include "panel/schedule/refresh_schedule.h"

#include <algorithm>

namespace skyvane {

namespace {

// Doubling stops here; 2^20 minutes is far beyond any interval.
constexpr int kMaxDoublings = 20;

QDateTime Plus(const QDateTime& time, std::chrono::minutes delay) {
  return time.addSecs(std::chrono::duration_cast<std::chrono::seconds>(delay).count());
}

// The midnight refresh for the first midnight after `time`.
QDateTime MidnightRefreshAfter(const QDateTime& time) {
  return Plus(time.date().addDays(1).startOfDay(), RefreshSchedule::kAfterMidnight);
}

}  // namespace

RefreshSchedule::RefreshSchedule(ScheduleClock* clock, QObject* parent)
    : QObject(parent), clock_(clock) {
  connect(clock_, &ScheduleClock::woke, this, &RefreshSchedule::ClockWoke);
  connect(clock_, &ScheduleClock::jumped, this, &RefreshSchedule::Woke);
}

void RefreshSchedule::SetInterval(std::chrono::minutes interval) {
  interval_ = std::max(interval, std::chrono::minutes{0});
  if (!busy_) Plan();
}

void RefreshSchedule::RefreshStarted() {
  busy_ = true;
  next_.reset();
  clock_->Disarm();
}

void RefreshSchedule::RefreshEnded(Outcome outcome) {
  busy_ = false;
  last_end_ = clock_->Now();
  unanswered_ = outcome == Outcome::kNoAnswer ? unanswered_ + 1 : 0;
  Plan();
}

void RefreshSchedule::Woke() {
  if (interval_.count() > 0 && !busy_) MakeDue();
}

void RefreshSchedule::Plan() {
  next_.reset();
  if (interval_.count() == 0 || !last_end_) {
    clock_->Disarm();
    return;
  }
  const QDateTime regular = Plus(*last_end_, unanswered_ > 0 ? RetryDelay() : interval_);
  next_ = std::min(regular, MidnightRefreshAfter(*last_end_));
  clock_->WakeAt(*next_);
}

std::chrono::minutes RefreshSchedule::RetryDelay() const {
  const int doublings = std::min(unanswered_ - 1, kMaxDoublings);
  return std::min(kFirstRetry * (int64_t{1} << doublings), interval_);
}

void RefreshSchedule::ClockWoke() {
  if (busy_ || !next_) return;
  // A wake-up may come just before its time; it is not due yet then.
  if (clock_->Now() < *next_) {
    clock_->WakeAt(*next_);
    return;
  }
  MakeDue();
}

void RefreshSchedule::MakeDue() {
  RefreshStarted();
  emit due();
}

}  // namespace skyvane
