// A place on the earth that a forecast is asked for: a name to show and its
// WGS84 coordinates in decimal degrees.
//
// Coordinates travel as decimal texts (the command line, the settings file,
// the request address); the helpers below read and write those texts, so
// that a place keeps one spelling wherever it appears.
#ifndef SKYVANE_PANEL_PLACES_GEO_PLACE_H_
#define SKYVANE_PANEL_PLACES_GEO_PLACE_H_

#include <QString>
#include <optional>

namespace skyvane {

inline constexpr double kMaxLatitude = 90.0;
inline constexpr double kMaxLongitude = 180.0;
// Places after the decimal point kept in coordinate texts: 1e-6 degree is
// about 0.1 m, far finer than any forecast grid.
inline constexpr int kCoordinatePlaces = 6;

struct GeoPlace {
  QString name;            // shown to the user, e.g. "Berlin, Germany"
  double latitude = 0.0;   // -90 .. 90, north positive
  double longitude = 0.0;  // -180 .. 180, east positive
  // The place's time zone, an IANA id ("Europe/Berlin") as the geocoding
  // search names it; empty when unknown.
  QString zone_id{};
};

// The decimal reading of `text`: an optional sign, digits with an optional
// fraction (".5" and "5." included), nothing else; no blanks, exponents,
// "inf" or "nan". Nothing when the text has another form.
std::optional<double> ReadDegrees(const QString& text);

// Empty when both coordinates lie in range; otherwise a one-line reason, e.g.
// "latitude 95 is outside -90 to 90".
QString CoordinateProblem(double latitude, double longitude);

// The coordinates "LAT,LON" of `text` (blanks around either number allowed),
// named by their own text ("52.52,13.41"); nothing when `text` does not have
// that form, so that it can be read as a place name instead. Raises RunError
// kInvalidArgument with CoordinateProblem when it has the form but a
// coordinate is out of range.
std::optional<GeoPlace> ReadCoordinatePair(const QString& text);

// `degrees` with at most kCoordinatePlaces places after the point and no
// trailing zeros: 52.52 -> "52.52", -74.0 -> "-74", -0.0 -> "0".
QString DegreesText(double degrees);

// "LAT,LON" of the place's coordinates, as DegreesText writes them.
QString CoordinatePairText(const GeoPlace& place);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_PLACES_GEO_PLACE_H_
