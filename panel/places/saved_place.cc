#include "panel/places/saved_place.h"

#include <QTimeZone>

namespace skyvane {

SavedPlace ReadSavedPlace(const QString& location, const QString& latitude,
                          const QString& longitude, const QString& zone) {
  if (latitude.isEmpty() && longitude.isEmpty()) return SavedPlace{};
  const std::optional<double> north = ReadDegrees(latitude.trimmed());
  const std::optional<double> east = ReadDegrees(longitude.trimmed());
  if (north && east && CoordinateProblem(*north, *east).isEmpty()) {
    GeoPlace place{location.trimmed(), *north, *east};
    if (place.name.isEmpty()) place.name = CoordinatePairText(place);
    const QString zone_id = zone.trimmed();
    QString zone_problem;
    if (!zone_id.isEmpty() && QTimeZone(zone_id.toUtf8()).isValid()) {
      place.zone_id = zone_id;
    } else if (!zone_id.isEmpty()) {
      zone_problem = QStringLiteral(
                         "the kept time zone \"%1\" of %2 is unknown; its days follow "
                         "the system's time zone")
                         .arg(zone, place.name);
    }
    return SavedPlace{place, QString(), zone_problem};
  }
  return SavedPlace{std::nullopt,
                    QStringLiteral("the saved place has no usable coordinates (latitude \"%1\", "
                                   "longitude \"%2\")")
                        .arg(latitude, longitude),
                    QString()};
}

SavedPlace ReadSavedPlace(const SettingsStore& settings) {
  return ReadSavedPlace(
      settings.Read(QLatin1String(kLocationKey)), settings.Read(QLatin1String(kLatitudeKey)),
      settings.Read(QLatin1String(kLongitudeKey)), settings.Read(QLatin1String(kTimeZoneKey)));
}

bool SavePlace(SettingsStore& settings, const GeoPlace& place) {
  QList<QPair<QString, QString>> values{
      {QLatin1String(kLocationKey), place.name},
      {QLatin1String(kLatitudeKey), DegreesText(place.latitude)},
      {QLatin1String(kLongitudeKey), DegreesText(place.longitude)}};
  if (!place.zone_id.isEmpty()) values.append({QLatin1String(kTimeZoneKey), place.zone_id});
  if (!settings.Write(values)) return false;
  return !place.zone_id.isEmpty() || settings.Remove(QLatin1String(kTimeZoneKey));
}

bool ForgetPlace(SettingsStore& settings) {
  return settings.Remove(QStringList{QLatin1String(kLocationKey), QLatin1String(kLatitudeKey),
                                     QLatin1String(kLongitudeKey), QLatin1String(kTimeZoneKey)});
}

}  // namespace skyvane
