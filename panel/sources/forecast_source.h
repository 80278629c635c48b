// Where the panel's forecast comes from, and the refresh from there.
//
// The source is chosen afresh for every refresh, first that applies:
//   1. the address given with --url: the panel's own forecast document;
//   2. the place given with --location: Open-Meteo for it;
//   3. the saved place: Open-Meteo for it;
//   4. the built-in weather service, when the build named a real host;
//   5. Open-Meteo for the reference place of the system time zone;
// and when none applies, no source, with the reason the refresh stops for.
// An Open-Meteo forecast is turned into the panel's own document
// (open_meteo_forecast.h), so the columns are filled by the one refresh of
// forecast_refresh.h whatever the source.
#ifndef SKYVANE_PANEL_SOURCES_FORECAST_SOURCE_H_
#define SKYVANE_PANEL_SOURCES_FORECAST_SOURCE_H_

#include <QDate>
#include <QString>
#include <optional>

#include "panel/places/geo_place.h"
#include "panel/places/saved_place.h"
#include "panel/refresh/forecast_refresh.h"
#include "panel/sources/open_meteo_forecast.h"
#include "panel/sources/temperature_unit.h"
#include "panel/sources/weather_language.h"

namespace skyvane {

// The top-level domain reserved for names that never resolve (RFC 2606); a
// built-in weather host under it is no service at all.
inline constexpr char kNeverAnsweringDomain[] = ".invalid";

struct ForecastSource {
  enum class Kind {
    kPanelDocument,  // the panel's own forecast document at `address`
    kOpenMeteo,      // Open-Meteo's forecast for `place`, asked at `address`
    kNone,           // nothing to ask: `problem` says why and what to do
  };
  Kind kind = Kind::kNone;
  QString address;
  GeoPlace place;   // kOpenMeteo only
  QString problem;  // kNone only

  // The source as a status names it: the place's name, or the address of
  // the panel's own document; empty for kNone.
  QString Name() const;
};

// Everything the choice is made from.
struct SourceChoice {
  std::optional<QString> url;        // --url
  std::optional<GeoPlace> location;  // --location, already looked up
  SavedPlace saved;
  QString built_in_address;                          // DefaultRequestAddress()
  QString forecast_service;                          // ForecastServices::forecast
  QString zone_id;                                   // the system time zone, e.g. "Europe/Berlin"
  QString tzdata_folder;                             // where zone1970.tab lies
  TemperatureUnit unit = TemperatureUnit::kCelsius;  // the unit Open-Meteo is asked in
};

// True when the host of `built_in_address` is a real one: set at build time
// and not under kNeverAnsweringDomain.
bool BuiltInServiceIsSet(const QString& built_in_address);

// The source for `choice`, by the order above.
ForecastSource ChooseForecastSource(const SourceChoice& choice);

// The whole refresh from `source`: fetches its address with `fetch`, turns
// an Open-Meteo answer into the panel's document as `showing` says (texts,
// unit, day captions) and its days counted from the answer's first date, then fills
// the columns (RefreshForecast). A panel document counts its days from
// `today`. No source stops at column 0 with its problem as the reason.
std::optional<RefreshStop> RefreshFromSource(const ForecastSource& source, const TextFetch& fetch,
                                             const ForecastShowing& showing, QDate today,
                                             const QString& icon_folder,
                                             const ColumnControls& controls);
// The same with texts in `language`, Celsius and the C locale's captions.
std::optional<RefreshStop> RefreshFromSource(const ForecastSource& source, const TextFetch& fetch,
                                             WeatherLanguage language, QDate today,
                                             const QString& icon_folder,
                                             const ColumnControls& controls);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_FORECAST_SOURCE_H_
