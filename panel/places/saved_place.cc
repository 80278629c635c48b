#include "panel/places/saved_place.h"

namespace skyvane {

SavedPlace ReadSavedPlace(const QString& location, const QString& latitude,
                          const QString& longitude) {
  if (latitude.isEmpty() && longitude.isEmpty()) return SavedPlace{};
  const std::optional<double> north = ReadDegrees(latitude.trimmed());
  const std::optional<double> east = ReadDegrees(longitude.trimmed());
  if (north && east && CoordinateProblem(*north, *east).isEmpty()) {
    GeoPlace place{location.trimmed(), *north, *east};
    if (place.name.isEmpty()) place.name = CoordinatePairText(place);
    return SavedPlace{place, QString()};
  }
  return SavedPlace{std::nullopt,
                    QStringLiteral("the saved place has no usable coordinates (latitude \"%1\", "
                                   "longitude \"%2\")")
                        .arg(latitude, longitude)};
}

SavedPlace ReadSavedPlace(const SettingsStore& settings) {
  return ReadSavedPlace(settings.Read(QLatin1String(kLocationKey)),
                        settings.Read(QLatin1String(kLatitudeKey)),
                        settings.Read(QLatin1String(kLongitudeKey)));
}

bool SavePlace(SettingsStore& settings, const GeoPlace& place) {
  return settings.Write({{QLatin1String(kLocationKey), place.name},
                         {QLatin1String(kLatitudeKey), DegreesText(place.latitude)},
                         {QLatin1String(kLongitudeKey), DegreesText(place.longitude)}});
}

bool ForgetPlace(SettingsStore& settings) {
  return settings.Remove(QStringList{QLatin1String(kLocationKey), QLatin1String(kLatitudeKey),
                                     QLatin1String(kLongitudeKey)});
}

}  // namespace skyvane
