// Tells when the machine wakes from suspend, from logind's PrepareForSleep
// signal on the system bus ("org.freedesktop.login1", object
// "/org/freedesktop/login1", interface "org.freedesktop.login1.Manager"),
// which logind sends with true before a sleep and with false after it.
//
// Where there is no system bus (a container, a session without logind) the
// watch stays silent; the refresh schedule's clock tells a resume by the
// jump of the wall clock in any case. Listening costs nothing while no
// signal comes.
#ifndef SKYVANE_PANEL_SCHEDULE_SLEEP_WATCH_H_
#define SKYVANE_PANEL_SCHEDULE_SLEEP_WATCH_H_

#include <QDBusConnection>
#include <QObject>

namespace skyvane {

inline constexpr char kLogindService[] = "org.freedesktop.login1";
inline constexpr char kLogindPath[] = "/org/freedesktop/login1";
inline constexpr char kLogindManager[] = "org.freedesktop.login1.Manager";
inline constexpr char kPrepareForSleep[] = "PrepareForSleep";

class SleepWatch : public QObject {
  Q_OBJECT

 public:
  // Listens on `bus`, by default the system bus.
  explicit SleepWatch(const QDBusConnection& bus = QDBusConnection::systemBus(),
                      QObject* parent = nullptr);

  // True when the bus is there and the signal is listened to.
  bool Listening() const { return listening_; }

 signals:
  // The machine has just woken from a sleep.
  void woke();

 private slots:
  void PrepareForSleep(bool starting);

 private:
  bool listening_ = false;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SCHEDULE_SLEEP_WATCH_H_
