#include "panel/schedule/refresh_schedule.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

namespace skyvane {

namespace {

// Doubling stops here; 2^20 minutes is far beyond any interval.
constexpr int kMaxDoublings = 20;

QDateTime Plus(const QDateTime& time, std::chrono::milliseconds delay) {
  return time.addMSecs(delay.count());
}

}  // namespace

double RandomRefreshSpread() {
  return QRandomGenerator::global()->bounded(2 * RefreshSchedule::kMaxSpread) -
         RefreshSchedule::kMaxSpread;
}

RefreshSchedule::RefreshSchedule(ScheduleClock* clock, QObject* parent)
    : QObject(parent), clock_(clock) {
  connect(clock_, &ScheduleClock::woke, this, &RefreshSchedule::ClockWoke);
  connect(clock_, &ScheduleClock::jumped, this, &RefreshSchedule::Woke);
}

void RefreshSchedule::SetInterval(std::chrono::minutes interval) {
  interval_ = std::max(interval, std::chrono::minutes{0});
  if (!busy_) Plan();
}

void RefreshSchedule::SetRetryByDefault(bool on) {
  retry_by_default_ = on;
  if (!busy_) Plan();
}

void RefreshSchedule::SetRetryUnit(std::chrono::milliseconds unit) {
  retry_unit_ = std::max(unit, std::chrono::milliseconds{1});
}

void RefreshSchedule::SetSpread(Spread spread) {
  spread_ = std::move(spread);
}

void RefreshSchedule::SetOnline(bool online) {
  if (online == online_) return;
  online_ = online;
  if (!online || busy_ || !Planning() || !last_end_) return;
  if (waiting_ || unanswered_ > 0) {
    waiting_ = false;
    next_ = Plus(clock_->Now(), kAfterOnline);
    clock_->WakeAt(*next_);
  }
}

void RefreshSchedule::RefreshStarted() {
  busy_ = true;
  waiting_ = false;
  next_.reset();
  clock_->Disarm();
}

void RefreshSchedule::RefreshEnded(Outcome outcome,
                                   std::optional<std::chrono::seconds> retry_after) {
  busy_ = false;
  last_end_ = clock_->Now();
  const bool retry = outcome == Outcome::kNoAnswer || outcome == Outcome::kBusy;
  unanswered_ = retry ? unanswered_ + 1 : 0;
  retry_after_ = retry ? retry_after : std::nullopt;
  Plan();
}

void RefreshSchedule::Woke() {
  if (busy_) return;
  if (interval_.count() > 0) {
    MakeDue();
    return;
  }
  if (retry_by_default_ && last_end_ &&
      (unanswered_ > 0 || last_end_->date() != clock_->Now().date())) {
    MakeDue();
    return;
  }
  // Not due: the wake-up the jump spent is armed again.
  if (next_) clock_->WakeAt(*next_);
}

bool RefreshSchedule::Planning() const {
  return interval_.count() > 0 || retry_by_default_;
}

void RefreshSchedule::Plan() {
  next_.reset();
  if (!Planning() || !last_end_) {
    clock_->Disarm();
    return;
  }
  std::optional<QDateTime> regular;
  if (unanswered_ > 0) {
    regular = Plus(*last_end_, WithSpread(RetryDelay()));
    if (retry_after_) regular = std::max(*regular, Plus(*last_end_, *retry_after_));
  } else if (interval_.count() > 0) {
    regular = Plus(*last_end_, WithSpread(interval_));
  }
  // The refresh after the first midnight after the last one, spread too:
  // every panel in a time zone reaches midnight at the same second.
  const QDateTime midnight =
      Plus(last_end_->date().addDays(1).startOfDay(), WithSpread(kAfterMidnight));
  next_ = regular ? std::min(*regular, midnight) : midnight;
  clock_->WakeAt(*next_);
}

std::chrono::milliseconds RefreshSchedule::RetryDelay() const {
  const int doublings = std::min(unanswered_ - 1, kMaxDoublings);
  const std::chrono::milliseconds most = retry_unit_ * kMaxRetry.count();
  const std::chrono::milliseconds cap =
      interval_.count() > 0 ? std::min<std::chrono::milliseconds>(interval_, most) : most;
  return std::min<std::chrono::milliseconds>(
      retry_unit_ * kFirstRetry.count() * (int64_t{1} << doublings), cap);
}

std::chrono::milliseconds RefreshSchedule::WithSpread(std::chrono::milliseconds delay) const {
  if (!spread_) return delay;
  const double part = std::clamp(spread_(), -kMaxSpread, kMaxSpread);
  return delay + std::chrono::milliseconds(std::llround(static_cast<double>(delay.count()) * part));
}

void RefreshSchedule::ClockWoke() {
  if (busy_ || !next_) return;
  // A wake-up may come just before its time; it is not due yet then.
  if (clock_->Now() < *next_) {
    clock_->WakeAt(*next_);
    return;
  }
  if (!online_) {
    // Offline: the refresh waits for the network instead of failing.
    waiting_ = true;
    next_.reset();
    return;
  }
  MakeDue();
}

void RefreshSchedule::MakeDue() {
  RefreshStarted();
  emit due();
}

}  // namespace skyvane
