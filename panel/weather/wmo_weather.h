// The weather of a WMO weather interpretation code, as Open-Meteo reports
// it per day: a text, a short form of it for the panel's narrow column, and
// the name of one of the panel's icons (tianqi_ICON/black/NAME.gif).
//
// The texts are English, the source language. For a Chinese interface they
// are shown through Qt's translation system (context kWeatherContext), from
// the translation installed for the interface language; without one they
// stay English. The short form of each
// text is its own entry, told apart by the comment "short for: TEXT", so
// that a language may keep a distinction English drops ("Light rain" and
// "Heavy rain" are both "Rain" in English, 小雨 and 大雨 in Chinese).
//
// The table covers every code Open-Meteo documents (0 to 99, 28 codes).
// Any other code, and a day without a code, gets kUnknownWeather: a neutral
// text and icon, so that an unexpected code never stops the refresh.
#ifndef SKYVANE_PANEL_WEATHER_WMO_WEATHER_H_
#define SKYVANE_PANEL_WEATHER_WMO_WEATHER_H_

#include <QString>
#include <optional>
#include <span>
#include <string_view>

#include "panel/weather/weather_language.h"

namespace skyvane {

// The translation context of every weather text.
inline constexpr char kWeatherContext[] = "Weather";

// A text to translate with its disambiguating comment, as
// QT_TRANSLATE_NOOP3 gives it.
struct NotedText {
  const char* source;
  const char* comment;
};

struct WmoWeather {
  int code = -1;
  const char* english = "";         // the whole text, in English
  NotedText brief = {"", nullptr};  // the column's short form, in English
  std::string_view icon;            // an icon name, as "wea_img" holds it

  // The whole text in `language`: for the tooltip and a screen reader.
  QString Text(WeatherLanguage language) const;
  // The short form in `language`: for the column.
  QString Brief(WeatherLanguage language) const;
};

// What a code outside the table shows (its `code` is -1).
extern const WmoWeather kUnknownWeather;

// Every documented code, in ascending order of code.
std::span<const WmoWeather> WmoWeatherTable();

// The table's entry for `code`, or kUnknownWeather when the code is missing
// or not in the table.
const WmoWeather& DescribeWmoCode(std::optional<int> code);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_WEATHER_WMO_WEATHER_H_
