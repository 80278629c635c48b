#include "panel/settings/position_store.h"

namespace skyvane {

PositionStore::PositionStore() = default;

PositionStore::PositionStore(const QString& path) : settings_(path) {}

QString PositionStore::Read(const QString& key) const {
  return settings_.Read(key);
}

std::optional<PanelPlace> PositionStore::SavedPlace() const {
  return ParseSavedPlace(Read(QString::fromLatin1(kLeftKey)), Read(QString::fromLatin1(kTopKey)));
}

bool PositionStore::Save(const PanelPlace& place) {
  return settings_.Write({{QString::fromLatin1(kLeftKey), SaveText(place.left)},
                          {QString::fromLatin1(kTopKey), SaveText(place.top)}});
}

bool PositionStore::Forget() {
  return settings_.Remove({QString::fromLatin1(kLeftKey), QString::fromLatin1(kTopKey)});
}

}  // namespace skyvane
