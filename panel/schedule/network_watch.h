// Whether the network is up, for the refresh schedule: while it is offline
// planned refreshes wait, and when it comes back a failed or waiting one is
// tried.
//
// NetworkWatch is the seam the form reads; SystemNetworkWatch is Qt's
// QNetworkInformation with a backend that tells reachability (NetworkManager
// over D-Bus, or GLib's network monitor). Where no such backend loads, it
// says online and never changes, so the panel behaves as without it.
// Listening costs nothing while nothing changes.
#ifndef SKYVANE_PANEL_SCHEDULE_NETWORK_WATCH_H_
#define SKYVANE_PANEL_SCHEDULE_NETWORK_WATCH_H_

#include <QObject>
#include <QString>

namespace skyvane {

class NetworkWatch : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // False only while the network is known to be down.
  virtual bool Online() const = 0;

 signals:
  void onlineChanged(bool online);
};

class SystemNetworkWatch : public NetworkWatch {
  Q_OBJECT

 public:
  // Loads a backend that tells reachability, if one is installed and works.
  explicit SystemNetworkWatch(QObject* parent = nullptr);

  bool Online() const override;
  // The loaded backend's name, or an empty text when none loaded.
  QString BackendName() const { return backend_; }

 private:
  QString backend_;
  bool online_ = true;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SCHEDULE_NETWORK_WATCH_H_
