// MET Norway's Locationforecast 2.0: the request for a place, and its answer
// turned into the panel's own forecast document, so that the columns are
// filled from it exactly as from an Open-Meteo forecast.
//
// The panel asks for the "complete" product, whose six-hour periods carry
// the period's highest and lowest air temperature. The answer is a time
// series in UTC ("properties"."timeseries"), hourly for the first days and
// six-hourly after. Its days are the place's own calendar days in `zone`:
// record 0 is the local day of the series' first time, and one record
// follows for every local day up to that of the last time. For each day:
//   "tem1"/"tem2"  the highest/lowest of the "instant" air_temperature
//                  values at times in that day, and of the "next_6_hours"
//                  air_temperature_max/min of periods starting in it, given
//                  in Celsius and written as whole degrees of the unit shown,
//                  converted exactly (WholeDegrees); null when the day has
//                  none, so the refresh stops at that column;
//   "tem_tone"     the colour of the whole lowest in that unit (ToneOf);
//   "wea"/"wea_img" the most severe symbol (met_norway_symbols.h) of the
//                  periods starting from 06:00 to before 18:00 local time,
//                  or of any period of the day when none starts then; a
//                  period's symbol is that of "next_6_hours", or of
//                  "next_1_hours" where the entry has no six-hour one. A day
//                  without any symbol shows the neutral unknown weather.
// A local day without any entry gets the record of a day without
// temperatures and ends the document (the refresh stops there), so the
// records are at most one more than the entries, however far apart their
// times lie.
#ifndef SKYVANE_PANEL_SOURCES_MET_NORWAY_FORECAST_H_
#define SKYVANE_PANEL_SOURCES_MET_NORWAY_FORECAST_H_

#include <QString>
#include <QTimeZone>

#include "panel/fetch/http_fetch.h"
#include "panel/places/geo_place.h"
#include "panel/sources/open_meteo_forecast.h"
#include "panel/weather/weather_language.h"

namespace skyvane {

// The service names itself so in statuses and failures.
inline constexpr char kMetNorwayName[] = "MET Norway";
// The credit the panel shows while MET Norway's forecast is shown.
inline constexpr char kMetNorwayCredit[] = "Data from MET Norway";
// Coordinates are sent with at most this many decimals, as the service asks.
inline constexpr int kMetNorwayDecimals = 4;

// `degrees` with at most kMetNorwayDecimals decimals, rounded, without
// trailing zeros: 52.524371 -> "52.5244", 13.4 -> "13.4", -0.00001 -> "0".
QString MetNorwayDegreesText(double degrees);

// The request address of the complete forecast for `place` at `service`
// (e.g. "https://api.met.no"):
// SERVICE/weatherapi/locationforecast/2.0/complete?lat=..&lon=..
QString MetNorwayForecastAddress(const QString& service, const GeoPlace& place);

// Converts an answer of the service, counting days in `zone`, showing
// temperatures in `unit`. Raises
// RunError as ReadServiceAnswer does (naming "MET Norway"), kObjectRequired
// when "properties"."timeseries" is missing or no list, or an entry is no
// object, kTypeMismatch when an entry's "time" is not an ISO date and time,
// and kSubscriptOutOfRange when the series is empty.
ConvertedForecast ConvertMetNorwayForecast(const FetchResult& fetched, const QTimeZone& zone,
                                           WeatherLanguage language,
                                           TemperatureUnit unit = TemperatureUnit::kCelsius);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_MET_NORWAY_FORECAST_H_
