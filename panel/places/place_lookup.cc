#include "panel/places/place_lookup.h"

#include <optional>

#include "panel/places/open_meteo_geocoding.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

[[noreturn]] void Fail(const QString& description) {
  Raise(ErrorNumber::kInvalidArgument, description.toStdString());
}

}  // namespace

GeoPlace LookUpPlace(const QString& text, const QString& geocoding_service,
                     const QString& language_code, const TextFetch& fetch) {
  if (std::optional<GeoPlace> coordinates = ReadCoordinatePair(text)) return *coordinates;
  const QString name = text.trimmed();
  const QString not_found = QStringLiteral("no place called \"%1\" was found").arg(name);
  if (name.isEmpty()) Fail(not_found);
  std::optional<GeoPlace> place;
  try {
    const FetchResult fetched = fetch(GeocodingAddress(geocoding_service, name, language_code));
    if (!fetched.problem.isEmpty()) Fail(QStringLiteral("no answer: ") + fetched.problem);
    place = ReadGeocodingAnswer(fetched);
  } catch (const RunError& error) {
    Fail(QStringLiteral("cannot look up \"%1\": %2")
             .arg(name, QString::fromStdString(error.what())));
  }
  if (!place) Fail(not_found);
  return *place;
}

}  // namespace skyvane
