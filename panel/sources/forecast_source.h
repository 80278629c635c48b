// Where the panel's forecast comes from, and the refresh from there.
//
// The source is chosen afresh for every refresh, first that applies:
//   1. the address given with --url: the panel's own forecast document;
//   2. the place given with --location: Open-Meteo for it;
//   3. the saved place: Open-Meteo for it;
//   4. the built-in weather service, when the build named a real host;
//   5. Open-Meteo for the reference place of the system time zone;
// and when none applies, no source, with the reason the refresh stops for.
// A place is asked of Open-Meteo, of MET Norway, or of Open-Meteo with MET
// Norway to fall back on, as the SourcePreference says
// (source_preference.h). Either answer is turned into the panel's own
// document (open_meteo_forecast.h, met_norway_forecast.h), so the columns
// are filled by the one refresh of forecast_refresh.h whatever the source.
#ifndef SKYVANE_PANEL_SOURCES_FORECAST_SOURCE_H_
#define SKYVANE_PANEL_SOURCES_FORECAST_SOURCE_H_

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "panel/places/geo_place.h"
#include "panel/places/saved_place.h"
#include "panel/refresh/forecast_refresh.h"
#include "panel/sources/day_details.h"
#include "panel/sources/met_norway_terms.h"
#include "panel/sources/open_meteo_forecast.h"
#include "panel/sources/source_preference.h"
#include "panel/weather/temperature_unit.h"
#include "panel/weather/weather_language.h"

namespace skyvane {

// The top-level domain reserved for names that never resolve (RFC 2606); a
// built-in weather host under it is no service at all.
inline constexpr char kNeverAnsweringDomain[] = ".invalid";

struct ForecastSource {
  enum class Kind {
    kPanelDocument,  // the panel's own forecast document at `address`
    kOpenMeteo,      // Open-Meteo's forecast for `place`, asked at `address`
    kMetNorway,      // MET Norway's forecast for `place`, asked at `address`
    kNone,           // nothing to ask: `problem` says why and what to do
  };
  Kind kind = Kind::kNone;
  QString address;
  GeoPlace place;  // kOpenMeteo and kMetNorway only
  // kOpenMeteo only: MET Norway's address for the same place, asked when
  // Open-Meteo cannot answer; empty for none.
  QString fallback_address;
  // The place's time zone (an IANA id): its own (GeoPlace::zone_id), else
  // SourceChoice::zone_id; MET Norway's days are its calendar days. Empty:
  // the system's.
  QString zone_id;
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
  QString built_in_address;  // DefaultRequestAddress()
  QString forecast_service;  // ForecastServices::forecast
  // ForecastServices::met_norway; empty: MET Norway is never asked.
  QString met_norway_service;
  SourcePreference preference = SourcePreference::kAuto;
  QString zone_id;                                   // the system time zone, e.g. "Europe/Berlin"
  QString tzdata_folder;                             // where zone1970.tab lies
  TemperatureUnit unit = TemperatureUnit::kCelsius;  // the unit Open-Meteo is asked in
};

// True when the host of `built_in_address` is a real one: set at build time
// and not under kNeverAnsweringDomain.
bool BuiltInServiceIsSet(const QString& built_in_address);

// The source for `choice`, by the order above.
ForecastSource ChooseForecastSource(const SourceChoice& choice);

// Which service answered a refresh, for the status.
struct SourceReport {
  // "Open-Meteo", "MET Norway", or empty (the panel's own document, or no
  // answer that could be read).
  QString answered_by;
  // When MET Norway answered in Open-Meteo's place: why Open-Meteo did not,
  // e.g. "HTTP 503 Service Unavailable".
  QString first_failure;
  // What MET Norway's terms left to say (MetNorwayClient::Answer::note).
  QString note;

  // "MET Norway (Open-Meteo: HTTP 503 Service Unavailable)", "Open-Meteo",
  // or empty.
  QString Text() const;
};

// The whole refresh from `source`: fetches its address with `fetch`, turns
// an Open-Meteo or MET Norway answer into the panel's document as `showing`
// says (texts and unit; day captions for Open-Meteo) with its days counted
// from the answer's first date, then fills the columns (RefreshForecast). A
// panel document counts its days from `today`. MET Norway is asked through
// `met_norway` when given (its terms: User-Agent, Expires,
// If-Modified-Since), else with `fetch`. An Open-Meteo source with a
// fallback address asks MET Norway when Open-Meteo gives no answer, an error
// status, or an answer that cannot be converted; when MET Norway fails too,
// the stop is Open-Meteo's with MET Norway's reason added. No source stops at
// column 0 with its problem as the reason. `report`, when given, says which
// service answered. `details`, when given, receives the day details of an
// Open-Meteo answer (ReadDayDetails), whether or not the columns could be
// filled from it, and is emptied for every other source. `answered`, when
// given, receives a place's forecast as the columns were filled from it (the
// panel's document and its first date).
std::optional<RefreshStop> RefreshFromSource(
    const ForecastSource& source, const TextFetch& fetch, const ForecastShowing& showing,
    QDate today, const QString& icon_folder, const ColumnControls& controls,
    MetNorwayClient* met_norway = nullptr, SourceReport* report = nullptr,
    std::vector<DayDetails>* details = nullptr, ForecastAnswer* answered = nullptr);
// The same with texts in `language`, Celsius and the C locale's captions.
std::optional<RefreshStop> RefreshFromSource(
    const ForecastSource& source, const TextFetch& fetch, WeatherLanguage language, QDate today,
    const QString& icon_folder, const ColumnControls& controls,
    MetNorwayClient* met_norway = nullptr, SourceReport* report = nullptr,
    std::vector<DayDetails>* details = nullptr, ForecastAnswer* answered = nullptr);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_FORECAST_SOURCE_H_
