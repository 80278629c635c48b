#include "panel/schedule/schedule_clock.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "text/run_error.h"

namespace skyvane {

namespace {

constexpr int64_t kMillisecondsPerSecond = 1000;
constexpr int64_t kNanosecondsPerMillisecond = 1'000'000;
// An it_value of zero would disarm the timer, so a time at or before the
// epoch is armed as its first nanosecond: long passed, it fires at once.
constexpr long kEarliestNanoseconds = 1;

}  // namespace

SystemScheduleClock::SystemScheduleClock(QObject* parent) : ScheduleClock(parent) {
  timer_fd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timer_fd_ < 0) {
    Raise(ErrorNumber::kInvalidArgument,
          std::string("cannot make the refresh timer: ") + std::strerror(errno));
  }
  notifier_ = new QSocketNotifier(timer_fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SystemScheduleClock::TimerReadable);
}

SystemScheduleClock::~SystemScheduleClock() {
  delete notifier_;
  close(timer_fd_);
}

QDateTime SystemScheduleClock::Now() const {
  return QDateTime::currentDateTime();
}

void SystemScheduleClock::WakeAt(const QDateTime& at) {
  const int64_t ms = at.toMSecsSinceEpoch();
  itimerspec spec{};
  if (ms > 0) {
    spec.it_value.tv_sec = static_cast<time_t>(ms / kMillisecondsPerSecond);
    spec.it_value.tv_nsec =
        static_cast<long>((ms % kMillisecondsPerSecond) * kNanosecondsPerMillisecond);
  } else {
    spec.it_value.tv_nsec = kEarliestNanoseconds;
  }
  timerfd_settime(timer_fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr);
}

void SystemScheduleClock::Disarm() {
  const itimerspec disarmed{};
  timerfd_settime(timer_fd_, 0, &disarmed, nullptr);
}

void SystemScheduleClock::TimerReadable() {
  uint64_t expirations = 0;
  if (read(timer_fd_, &expirations, sizeof expirations) == sizeof expirations) {
    emit woke();
    return;
  }
  if (errno == ECANCELED) {
    // The cancelled timer may still be due later; the owner arms afresh.
    Disarm();
    emit jumped();
  }
  // EAGAIN: another reader was first, or the timer was re-armed meanwhile.
}

}  // namespace skyvane
