// A day's details from an Open-Meteo forecast answer: what the day's popup
// shows beside the column (the hourly temperatures and chances of
// precipitation, sunrise and sunset, the strongest wind, the precipitation
// total and the feels-like range).
//
// The details are read from the same answer the columns are filled from,
// and never stop that: a missing list, a null value or a value of the wrong
// kind is simply absent here. Values keep the units the answer names in its
// "daily_units" and "hourly_units" (the units of the request); an answer
// that names none is in the service's defaults: °C, km/h and mm.
#ifndef SKYVANE_PANEL_SOURCES_DAY_DETAILS_H_
#define SKYVANE_PANEL_SOURCES_DAY_DETAILS_H_

#include <QDate>
#include <QString>
#include <QTime>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "json/decimal.h"
#include "panel/fetch/http_fetch.h"
#include "panel/weather/weather_language.h"

namespace skyvane {

inline constexpr int kHoursPerDay = 24;

// The details of one day; every value may be absent.
struct DayDetails {
  QDate date;
  std::optional<int> weather_code;  // WMO code
  QString weather_text;             // the code's text in the chosen language
  std::optional<Decimal> temperature_max;
  std::optional<Decimal> temperature_min;
  std::optional<Decimal> feels_like_max;  // apparent temperature
  std::optional<Decimal> feels_like_min;
  std::optional<Decimal> precipitation_chance_max;  // percent
  std::optional<Decimal> precipitation_sum;
  std::optional<Decimal> wind_speed_max;
  std::optional<Decimal> wind_direction;  // degrees the wind comes from
  std::optional<QTime> sunrise;           // the place's own time
  std::optional<QTime> sunset;
  // Hour h (0 .. 23, the place's own time) of the day; an hour the answer
  // does not have, or has as null, is absent.
  std::array<std::optional<Decimal>, kHoursPerDay> hourly_temperature;
  std::array<std::optional<Decimal>, kHoursPerDay> hourly_precipitation_chance;
  // The units of the values, as the answer names them.
  QString temperature_unit = QStringLiteral("°C");
  QString wind_unit = QStringLiteral("km/h");
  QString precipitation_unit = QStringLiteral("mm");
  // The place's offset from UTC, to tell its current hour.
  std::optional<int> utc_offset_seconds;

  // True when at least one hour has a temperature.
  bool HasHourlyTemperatures() const;
};

// The daily and hourly variables the details need, comma-separated, as the
// forecast request names them.
inline constexpr char kDetailDailyVariables[] =
    "precipitation_probability_max,precipitation_sum,wind_speed_10m_max,"
    "wind_direction_10m_dominant,sunrise,sunset,apparent_temperature_max,"
    "apparent_temperature_min";
inline constexpr char kDetailHourlyVariables[] = "temperature_2m,precipitation_probability";

// The details of each day of the answer in `fetched`, one per date of its
// daily "time" list, with weather texts in `language`. Raises nothing: an
// answer that cannot be read at all, or has no daily dates, gives none.
std::vector<DayDetails> ReadDayDetails(const FetchResult& fetched, WeatherLanguage language);

// The compass point of `degrees` (the direction the wind comes from) among
// the eight: "N", "NE", "E", "SE", "S", "SW", "W", "NW". Any number of
// degrees is taken modulo 360.
const char* CompassPoint(double degrees);

// One line of JSON (UTF-8, no line end) with what the popup of day `day`
// (0-based) shows: {"day":0,"date":"2026-05-29","weather":"Clear",
// "weather_code":0,"temperature_max":..,"temperature_min":..,
// "feels_like_max":..,"feels_like_min":..,"precipitation_chance_max":..,
// "precipitation_sum":..,"wind_speed_max":..,"wind_direction":..,
// "wind_compass":"NE","sunrise":"05:01","sunset":"21:15",
// "hourly_temperature":[24 values],"hourly_precipitation_chance":[24 values],
// "units":{"temperature":"°C","wind":"km/h","precipitation":"mm"}}.
// Numbers are written as the answer gave them; an absent value is null.
std::string DayDetailsJson(const DayDetails& details, int day);

// The details of at most kKeptDetailDays days, to keep beside a forecast,
// as one JSON text (UTF-8): {"utc_offset_seconds":3600,"days":[...]} with a
// DayDetailsJson object for each day.
inline constexpr int kKeptDetailDays = 16;
std::string KeptDayDetailsText(const std::vector<DayDetails>& days);

// The days of a text KeptDayDetailsText wrote, the one dated `from` first
// and then each following day up to the first missing one, at most `most`
// of them, with weather texts in `language`. The text may be
// anything: a text that is no such object gives no days; a value that is
// missing or of the wrong kind is absent, a unit or a weather text longer
// than a few words is left at its default, and only the first
// kKeptDetailDays days and 24 hours of a day are read. Raises nothing.
std::vector<DayDetails> ReadKeptDayDetails(const QString& text, QDate from, int most,
                                           WeatherLanguage language);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_DAY_DETAILS_H_
