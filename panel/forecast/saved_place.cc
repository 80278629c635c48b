#include "panel/forecast/saved_place.h"

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

}  // namespace skyvane
