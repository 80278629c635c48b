#include "panel/sources/met_norway_symbols.h"

#include <algorithm>
#include <array>

namespace skyvane {

namespace {

// Severity steps: kinds ten apart, strength adding 0 (light), 1 (plain) or
// 2 (heavy).
constexpr int kClear = 0;
constexpr int kFair = 1;
constexpr int kPartlyCloudy = 2;
constexpr int kCloudy = 3;
constexpr int kFog = 4;
constexpr int kRain = 10;
constexpr int kSleet = 20;
constexpr int kSnow = 30;
constexpr int kRainThunder = 40;
constexpr int kSleetThunder = 50;
constexpr int kSnowThunder = 60;
constexpr int kLight = 0;
constexpr int kPlain = 1;
constexpr int kHeavy = 2;

constexpr MetNorwaySymbol Row(std::string_view code, int severity, std::u16string_view chinese,
                              std::u16string_view english, std::string_view icon) {
  return MetNorwaySymbol{code, severity, WmoWeather{-1, chinese, english, icon}};
}

// Sorted by code, as DescribeMetNorwaySymbol searches it.
constexpr std::array<MetNorwaySymbol, 41> kTable{{
    Row("clearsky", kClear, u"晴", u"Clear sky", "qing"),
    Row("cloudy", kCloudy, u"阴", u"Cloudy", "yin"),
    Row("fair", kFair, u"晴间多云", u"Fair", "qing"),
    Row("fog", kFog, u"雾", u"Fog", "wu"),
    Row("heavyrain", kRain + kHeavy, u"大雨", u"Heavy rain", "yu"),
    Row("heavyrainandthunder", kRainThunder + kHeavy, u"强雷雨", u"Heavy rain and thunder", "lei"),
    Row("heavyrainshowers", kRain + kHeavy, u"强阵雨", u"Heavy rain showers", "yu"),
    Row("heavyrainshowersandthunder", kRainThunder + kHeavy, u"强雷阵雨",
        u"Heavy rain showers and thunder", "lei"),
    Row("heavysleet", kSleet + kHeavy, u"大雨夹雪", u"Heavy sleet", "yu"),
    Row("heavysleetandthunder", kSleetThunder + kHeavy, u"大雨夹雪伴雷", u"Heavy sleet and thunder",
        "lei"),
    Row("heavysleetshowers", kSleet + kHeavy, u"强阵雨夹雪", u"Heavy sleet showers", "yu"),
    Row("heavysleetshowersandthunder", kSleetThunder + kHeavy, u"强阵雨夹雪伴雷",
        u"Heavy sleet showers and thunder", "lei"),
    Row("heavysnow", kSnow + kHeavy, u"大雪", u"Heavy snow", "xue"),
    Row("heavysnowandthunder", kSnowThunder + kHeavy, u"大雪伴雷", u"Heavy snow and thunder",
        "lei"),
    Row("heavysnowshowers", kSnow + kHeavy, u"大阵雪", u"Heavy snow showers", "xue"),
    Row("heavysnowshowersandthunder", kSnowThunder + kHeavy, u"大阵雪伴雷",
        u"Heavy snow showers and thunder", "lei"),
    Row("lightrain", kRain + kLight, u"小雨", u"Light rain", "yu"),
    Row("lightrainandthunder", kRainThunder + kLight, u"雷阵雨", u"Light rain and thunder", "lei"),
    Row("lightrainshowers", kRain + kLight, u"小阵雨", u"Light rain showers", "yu"),
    Row("lightrainshowersandthunder", kRainThunder + kLight, u"雷阵雨",
        u"Light rain showers and thunder", "lei"),
    Row("lightsleet", kSleet + kLight, u"小雨夹雪", u"Light sleet", "yu"),
    Row("lightsleetandthunder", kSleetThunder + kLight, u"小雨夹雪伴雷", u"Light sleet and thunder",
        "lei"),
    Row("lightsleetshowers", kSleet + kLight, u"小阵雨夹雪", u"Light sleet showers", "yu"),
    Row("lightsnow", kSnow + kLight, u"小雪", u"Light snow", "xue"),
    Row("lightsnowandthunder", kSnowThunder + kLight, u"小雪伴雷", u"Light snow and thunder",
        "lei"),
    Row("lightsnowshowers", kSnow + kLight, u"小阵雪", u"Light snow showers", "xue"),
    Row("lightssleetshowersandthunder", kSleetThunder + kLight, u"小阵雨夹雪伴雷",
        u"Light sleet showers and thunder", "lei"),
    Row("lightssnowshowersandthunder", kSnowThunder + kLight, u"小阵雪伴雷",
        u"Light snow showers and thunder", "lei"),
    Row("partlycloudy", kPartlyCloudy, u"多云", u"Partly cloudy", "yun"),
    Row("rain", kRain + kPlain, u"中雨", u"Rain", "yu"),
    Row("rainandthunder", kRainThunder + kPlain, u"雷雨", u"Rain and thunder", "lei"),
    Row("rainshowers", kRain + kPlain, u"阵雨", u"Rain showers", "yu"),
    Row("rainshowersandthunder", kRainThunder + kPlain, u"雷阵雨", u"Rain showers and thunder",
        "lei"),
    Row("sleet", kSleet + kPlain, u"雨夹雪", u"Sleet", "yu"),
    Row("sleetandthunder", kSleetThunder + kPlain, u"雨夹雪伴雷", u"Sleet and thunder", "lei"),
    Row("sleetshowers", kSleet + kPlain, u"阵雨夹雪", u"Sleet showers", "yu"),
    Row("sleetshowersandthunder", kSleetThunder + kPlain, u"阵雨夹雪伴雷",
        u"Sleet showers and thunder", "lei"),
    Row("snow", kSnow + kPlain, u"中雪", u"Snow", "xue"),
    Row("snowandthunder", kSnowThunder + kPlain, u"雪伴雷", u"Snow and thunder", "lei"),
    Row("snowshowers", kSnow + kPlain, u"阵雪", u"Snow showers", "xue"),
    Row("snowshowersandthunder", kSnowThunder + kPlain, u"阵雪伴雷", u"Snow showers and thunder",
        "lei"),
}};

const MetNorwaySymbol kUnknownSymbol{"", -1, kUnknownWeather};

}  // namespace

std::span<const MetNorwaySymbol> MetNorwaySymbolTable() {
  return kTable;
}

const MetNorwaySymbol& DescribeMetNorwaySymbol(const QString& symbol_code) {
  const QString base = symbol_code.section(u'_', 0, 0);
  const std::string wanted = base.toStdString();
  const auto found = std::lower_bound(
      kTable.begin(), kTable.end(), std::string_view(wanted),
      [](const MetNorwaySymbol& entry, std::string_view code) { return entry.code < code; });
  if (found == kTable.end() || found->code != wanted || wanted.empty()) return kUnknownSymbol;
  return *found;
}

}  // namespace skyvane
