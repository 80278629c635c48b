// The clock a refresh schedule reads, and the one wake-up it arms.
//
// A schedule plans in wall-clock time (a refresh every N minutes, one just
// after midnight), but a machine may sleep, and the wall clock may be set,
// while a wake-up is armed. A ScheduleClock therefore wakes its owner when
// the wall clock reaches the armed time, also when the machine slept through
// it, and tells when the wall clock jumped against the monotonic clock.
//
// Nothing runs while nothing is armed. SystemScheduleClock is the real one;
// tests drive a schedule with a clock of their own.
#ifndef SKYVANE_PANEL_SCHEDULE_SCHEDULE_CLOCK_H_
#define SKYVANE_PANEL_SCHEDULE_SCHEDULE_CLOCK_H_

#include <QDateTime>
#include <QObject>

class QSocketNotifier;

namespace skyvane {

class ScheduleClock : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // The wall clock's time now.
  virtual QDateTime Now() const = 0;
  // Arms the one wake-up for the wall time `at`, replacing any armed
  // before. A time that has passed wakes at once, from the event loop.
  virtual void WakeAt(const QDateTime& at) = 0;
  // Disarms the wake-up, if one is armed.
  virtual void Disarm() = 0;

 signals:
  // The armed time has come; the wake-up is spent.
  void woke();
  // While a wake-up was armed, the wall clock jumped against the monotonic
  // clock: it was set, or the machine woke from suspend. The wake-up is
  // spent.
  void jumped();
};

// The system's clocks, through one Linux timerfd on the real-time clock:
// the wake-up is an absolute time, so a suspend that passes it wakes the
// program as soon as the machine resumes, and the timer is armed to be
// cancelled when the real-time clock jumps (a setting of the clock, and a
// resume from suspend, which the kernel counts as one), which is how jumps
// are told without any polling.
class SystemScheduleClock : public ScheduleClock {
  Q_OBJECT

 public:
  // Raises RunError kInvalidArgument when the timer cannot be made.
  explicit SystemScheduleClock(QObject* parent = nullptr);
  ~SystemScheduleClock() override;

  QDateTime Now() const override;
  void WakeAt(const QDateTime& at) override;
  void Disarm() override;

 private:
  void TimerReadable();

  int timer_fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SCHEDULE_SCHEDULE_CLOCK_H_
