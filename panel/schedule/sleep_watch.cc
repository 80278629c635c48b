#include "panel/schedule/sleep_watch.h"

namespace skyvane {

SleepWatch::SleepWatch(const QDBusConnection& bus, QObject* parent) : QObject(parent) {
  QDBusConnection connection = bus;
  listening_ = connection.isConnected() &&
               connection.connect(QLatin1String(kLogindService), QLatin1String(kLogindPath),
                                  QLatin1String(kLogindManager), QLatin1String(kPrepareForSleep),
                                  this, SLOT(PrepareForSleep(bool)));
}

void SleepWatch::PrepareForSleep(bool starting) {
  if (!starting) emit woke();
}

}  // namespace skyvane
