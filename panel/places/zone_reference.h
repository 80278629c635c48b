// The reference place of a time zone, from the tables of the system's
// time-zone database (tzdata): where a user who named no place most likely
// is, so that the panel shows real weather on its first start.
//
// A zone is looked up in zone1970.tab, then in zone.tab (which still lists
// zones that zone1970.tab merged into a neighbour, such as Europe/Oslo with
// its own city); a zone that is only a link to another (US/Eastern, from
// tzdata.zi) is looked up as the zone it links to. Zones without a place
// (UTC, Etc/GMT+5) have none.
#ifndef SKYVANE_PANEL_PLACES_ZONE_REFERENCE_H_
#define SKYVANE_PANEL_PLACES_ZONE_REFERENCE_H_

#include <QString>
#include <optional>

#include "panel/places/geo_place.h"

namespace skyvane {

inline constexpr char kDefaultTzdataFolder[] = "/usr/share/zoneinfo";
// Names another tzdata folder, as it does for the C library.
inline constexpr char kTzdataFolderVariable[] = "TZDIR";
inline constexpr char kZone1970Table[] = "zone1970.tab";
inline constexpr char kZoneTable[] = "zone.tab";
inline constexpr char kZoneLinks[] = "tzdata.zi";

// $TZDIR when set and not empty, otherwise kDefaultTzdataFolder.
QString TzdataFolder();

// Latitude and longitude in degrees of an ISO 6709 text as the zone tables
// write it, "±DDMM±DDDMM" or "±DDMMSS±DDDMMSS" ("+404251-0740023" is
// 40.714167, -74.006389); nothing for any other text.
std::optional<GeoPlace> ReadIso6709(const QString& text);

// The coordinates of the row for `zone_id` in `table`, the text of a zone
// table (rows of tab-separated columns: countries, coordinates, zone,
// comment; lines starting with "#" are comments); nothing when no row has
// it. The place is not named.
std::optional<GeoPlace> FindZoneRow(const QString& table, const QString& zone_id);

// The zone that `zone_id` links to in `links`, the text of tzdata.zi (lines
// "L TARGET LINK"); empty when it is no link there.
QString FindZoneLinkTarget(const QString& links, const QString& zone_id);

// The reference place of `zone_id` from the tables in `tzdata_folder`,
// named after the zone's city and the zone: "New York (America/New_York)".
// Nothing when the zone has no place or the tables cannot be read.
std::optional<GeoPlace> ZoneReferencePlace(const QString& zone_id, const QString& tzdata_folder);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_PLACES_ZONE_REFERENCE_H_
