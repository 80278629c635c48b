#include "panel/schedule/network_watch.h"

#include <QNetworkInformation>

namespace skyvane {

namespace {

bool IsOnline(QNetworkInformation::Reachability reachability) {
  // Unknown counts as online: a backend that cannot tell must not stop the
  // refreshes.
  return reachability != QNetworkInformation::Reachability::Disconnected;
}

}  // namespace

SystemNetworkWatch::SystemNetworkWatch(QObject* parent) : NetworkWatch(parent) {
  if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
    return;
  }
  QNetworkInformation* information = QNetworkInformation::instance();
  if (information == nullptr) return;
  backend_ = information->backendName();
  online_ = IsOnline(information->reachability());
  connect(information, &QNetworkInformation::reachabilityChanged, this,
          [this](QNetworkInformation::Reachability reachability) {
            const bool online = IsOnline(reachability);
            if (online == online_) return;
            online_ = online;
            emit onlineChanged(online);
          });
}

bool SystemNetworkWatch::Online() const {
  return online_;
}

}  // namespace skyvane
