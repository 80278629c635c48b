// Finding the place a user names with --location.
#ifndef SKYVANE_PANEL_PLACES_PLACE_LOOKUP_H_
#define SKYVANE_PANEL_PLACES_PLACE_LOOKUP_H_

#include <QString>

#include "panel/fetch/http_fetch.h"
#include "panel/places/geo_place.h"

namespace skyvane {

// The place `text` names: "LAT,LON" in decimal degrees is taken as it
// stands; any other text is searched for at `geocoding_service` with
// `fetch`, names in `language_code`, and the first result is taken. Raises
// RunError kInvalidArgument whose description is the one line to show:
//   coordinates out of range: "latitude 95 is outside -90 to 90";
//   an empty name or no result: "no place called \"Atlantis\" was found";
//   a failed search: "cannot look up \"Berlin\": " and why (no answer, the
//   service's error reason, an unreadable answer).
GeoPlace LookUpPlace(const QString& text, const QString& geocoding_service,
                     const QString& language_code, const TextFetch& fetch);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_PLACES_PLACE_LOOKUP_H_
