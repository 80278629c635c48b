// The Open-Meteo forecast: the request for a place's seven days, and its
// answer turned into the panel's own forecast document, so that the columns
// are filled from it exactly as from any other forecast.
//
// Each day of the answer's "daily" lists becomes one day record:
//   "wea"      the weather text of the day's WMO code in the chosen language,
//   "wea_img"  the code's icon name (wmo_weather.h),
//   "tem1"     the maximum, "tem2" the minimum temperature in the shown
//              unit, rounded half away from zero to a whole degree, then
//              "℃" or "℉" ("12.5" -> "13℃", "-0.4" -> "0℃"). An answer whose
//              "daily_units" names the other unit than the one shown is
//              converted exactly first (temperature_unit.h);
//   "tem_tone" "cold", "mild" or "hot": the colour of the range, decided on
//              the whole minimum in the shown unit (ToneOf), so that the
//              fill does not read the first characters of a ℉ caption;
// Under any language but Chinese the document also holds "day_captions",
// the seven columns' captions: the locale's short weekday and the day of
// the month ("Wed 9"). Under Chinese it is left out and the fill writes
// "09号".
// A day whose code is null or missing gets the neutral weather of an unknown
// code. A temperature that is null or missing becomes null in the record,
// so the refresh stops at that column as for any forecast without it.
#ifndef SKYVANE_PANEL_SOURCES_OPEN_METEO_FORECAST_H_
#define SKYVANE_PANEL_SOURCES_OPEN_METEO_FORECAST_H_

#include <QDate>
#include <QLocale>
#include <QString>

#include "json/decimal.h"
#include "panel/fetch/http_fetch.h"
#include "panel/places/geo_place.h"
#include "panel/weather/temperature_unit.h"
#include "panel/weather/weather_language.h"

namespace skyvane {

// How many days are asked for: one per column.
inline constexpr int kOpenMeteoForecastDays = 7;
// Follows a whole-degree temperature (U+2103).
inline constexpr char16_t kDegreesCelsius = u'℃';

// The request address of the daily forecast for `place` at `service`:
// /v1/forecast?latitude=..&longitude=..&daily=weather_code,
// temperature_2m_max,temperature_2m_min,<kDetailDailyVariables>
// &hourly=<kDetailHourlyVariables>&timezone=auto&forecast_days=7
// (the details' variables are those of day_details.h).
// timezone=auto makes the days those of the place itself. For Fahrenheit
// the address also asks &temperature_unit=fahrenheit.
QString OpenMeteoForecastAddress(const QString& service, const GeoPlace& place,
                                 TemperatureUnit unit = TemperatureUnit::kCelsius);

// How an Open-Meteo forecast is shown: the language of its weather texts,
// its temperature unit, and the locale its day captions come from.
struct ForecastShowing {
  WeatherLanguage language = WeatherLanguage::kChinese;
  TemperatureUnit unit = TemperatureUnit::kCelsius;
  QLocale locale = QLocale::c();
};

// A forecast answer in the panel's own form.
struct ConvertedForecast {
  QString document;  // {"data":[day records]}, one record per answered day
  QDate first_day;   // the date of the first record: the place's own today
};

// Converts a forecast answer. The weather code list may also be spelt
// "weathercode", as older versions of the service write it. Raises RunError
// as ReadServiceAnswer does, and kObjectRequired when "daily" or one of its
// four lists is missing, kTypeMismatch when the first date is not a date
// (yyyy-mm-dd), kInvalidArgument when "daily_units" names a temperature
// unit that is neither Celsius nor Fahrenheit.
ConvertedForecast ConvertOpenMeteoForecast(const FetchResult& fetched,
                                           const ForecastShowing& showing);
ConvertedForecast ConvertOpenMeteoForecast(const FetchResult& fetched, WeatherLanguage language);

// The caption of the day `date` under `showing`: empty under Chinese (the
// fill writes its own), else the locale's short weekday and the day of the
// month ("Wed 9").
QString OpenMeteoDayCaption(QDate date, const ForecastShowing& showing);

// `celsius` rounded half away from zero to a whole degree, followed by "℃".
QString WholeDegreesText(const Decimal& celsius);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_OPEN_METEO_FORECAST_H_
