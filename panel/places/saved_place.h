// The place the user chose with --location, as the settings keep it: texts
// in the group "set", "location" (the name to show), "latitude" and
// "longitude" (decimal degrees), and "timezone" (the place's IANA time zone)
// when the place was found by name.
#ifndef SKYVANE_PANEL_PLACES_SAVED_PLACE_H_
#define SKYVANE_PANEL_PLACES_SAVED_PLACE_H_

#include <QString>
#include <optional>

#include "panel/places/geo_place.h"
#include "panel/settings/settings_store.h"

namespace skyvane {

// A place read from the settings: none saved, a place, or saved texts that
// do not make one (then `problem` says so).
struct SavedPlace {
  std::optional<GeoPlace> place;
  QString problem;
  // A place whose kept time zone is no zone this system knows: one line
  // saying so; the place then has no zone (the system's applies).
  QString zone_problem;
};

inline constexpr char kLocationKey[] = "location";
inline constexpr char kLatitudeKey[] = "latitude";
inline constexpr char kLongitudeKey[] = "longitude";
inline constexpr char kTimeZoneKey[] = "timezone";

// The saved place of the three texts as read (empty when absent). No place
// when both coordinates are empty. A place when both read as coordinates in
// range; it is named `location`, or by its coordinates when that is empty.
// Otherwise a problem naming the texts. The place's zone is `zone`
// (trimmed) when QTimeZone knows it, else empty, with a zone_problem when
// `zone` was not empty.
SavedPlace ReadSavedPlace(const QString& location, const QString& latitude,
                          const QString& longitude, const QString& zone = QString());

// The place kept in `settings`, read as above.
SavedPlace ReadSavedPlace(const SettingsStore& settings);

// Keeps `place`: its name and its coordinates as DegreesText writes them,
// and its zone, or no "timezone" when it has none. Returns false when the
// file could not be written; settings.LastError() then says why.
bool SavePlace(SettingsStore& settings, const GeoPlace& place);

// Forgets the kept place (all four keys). Returns false as SavePlace does.
bool ForgetPlace(SettingsStore& settings);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_PLACES_SAVED_PLACE_H_
