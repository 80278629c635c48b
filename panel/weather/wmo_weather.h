// The weather of a WMO weather interpretation code, as Open-Meteo reports
// it per day: a short text in Chinese and in English, and the name of one
// of the panel's icons (tianqi_ICON/black/NAME.gif).
//
// The table covers every code Open-Meteo documents (0 to 99, 28 codes).
// Any other code, and a day without a code, gets kUnknownWeather: a neutral
// text and icon, so that an unexpected code never stops the refresh.
#ifndef SKYVANE_PANEL_WEATHER_WMO_WEATHER_H_
#define SKYVANE_PANEL_WEATHER_WMO_WEATHER_H_

#include <optional>
#include <span>
#include <string_view>

#include "panel/weather/weather_language.h"

namespace skyvane {

struct WmoWeather {
  int code = -1;
  std::u16string_view chinese;
  std::u16string_view english;
  std::string_view icon;  // an icon name, as "wea_img" holds it

  // The text in `language`.
  std::u16string_view Text(WeatherLanguage language) const {
    return language == WeatherLanguage::kChinese ? chinese : english;
  }
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
