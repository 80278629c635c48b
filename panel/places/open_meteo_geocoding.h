// Finding a place by its name with Open-Meteo's geocoding search: the
// request, and the reading of its first result.
#ifndef SKYVANE_PANEL_PLACES_OPEN_METEO_GEOCODING_H_
#define SKYVANE_PANEL_PLACES_OPEN_METEO_GEOCODING_H_

#include <QString>
#include <optional>

#include "panel/fetch/http_fetch.h"
#include "panel/places/geo_place.h"

namespace skyvane {

// The search address for `name` at `service`, asking for one result with
// names in `language_code` ("en", "zh", ...):
// /v1/search?name=NAME&count=1&language=LANG&format=json, the name
// percent-encoded as UTF-8.
QString GeocodingAddress(const QString& service, const QString& name, const QString& language_code);

// The place of the first result of a search answer, or nothing when the
// answer has no results. Its name is PlaceDisplayName of the result's
// "name", "admin1" and "country"; its zone is the result's "timezone" when
// QTimeZone knows it. Raises RunError as ReadServiceAnswer does,
// and kInvalidArgument when the first result has no name or its
// coordinates are missing or out of range.
std::optional<GeoPlace> ReadGeocodingAnswer(const FetchResult& fetched);

// The name to show for a search result: its name, then its first-level
// region unless that is empty or already holds the name ("Land Berlin" for
// "Berlin", "Tokyo" for "Tokyo"), then its country, joined by ", ":
// "Berlin, Germany", "Springfield, Illinois, United States".
QString PlaceDisplayName(const QString& name, const QString& admin1, const QString& country);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_PLACES_OPEN_METEO_GEOCODING_H_
