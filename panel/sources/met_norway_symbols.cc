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

constexpr MetNorwaySymbol Row(std::string_view code, int severity, const char* english,
                              NotedText brief, std::string_view icon) {
  return MetNorwaySymbol{code, severity, WmoWeather{-1, english, brief, icon}};
}

// Sorted by code, as DescribeMetNorwaySymbol searches it.
constexpr std::array<MetNorwaySymbol, 41> kTable{{
    Row("clearsky", kClear, QT_TRANSLATE_NOOP("Weather", "Clear sky"),
        QT_TRANSLATE_NOOP3("Weather", "Clear", "short for: Clear sky"), "qing"),
    Row("cloudy", kCloudy, QT_TRANSLATE_NOOP("Weather", "Cloudy"),
        QT_TRANSLATE_NOOP3("Weather", "Cloudy", "short for: Cloudy"), "yin"),
    Row("fair", kFair, QT_TRANSLATE_NOOP("Weather", "Fair"),
        QT_TRANSLATE_NOOP3("Weather", "Fair", "short for: Fair"), "qing"),
    Row("fog", kFog, QT_TRANSLATE_NOOP("Weather", "Fog"),
        QT_TRANSLATE_NOOP3("Weather", "Fog", "short for: Fog"), "wu"),
    Row("heavyrain", kRain + kHeavy, QT_TRANSLATE_NOOP("Weather", "Heavy rain"),
        QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Heavy rain"), "yu"),
    Row("heavyrainandthunder", kRainThunder + kHeavy,
        QT_TRANSLATE_NOOP("Weather", "Heavy rain and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy rain and thunder"), "lei"),
    Row("heavyrainshowers", kRain + kHeavy, QT_TRANSLATE_NOOP("Weather", "Heavy rain showers"),
        QT_TRANSLATE_NOOP3("Weather", "Showers", "short for: Heavy rain showers"), "yu"),
    Row("heavyrainshowersandthunder", kRainThunder + kHeavy,
        QT_TRANSLATE_NOOP("Weather", "Heavy rain showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy rain showers and thunder"), "lei"),
    Row("heavysleet", kSleet + kHeavy, QT_TRANSLATE_NOOP("Weather", "Heavy sleet"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Heavy sleet"), "yu"),
    Row("heavysleetandthunder", kSleetThunder + kHeavy,
        QT_TRANSLATE_NOOP("Weather", "Heavy sleet and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy sleet and thunder"), "lei"),
    Row("heavysleetshowers", kSleet + kHeavy, QT_TRANSLATE_NOOP("Weather", "Heavy sleet showers"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Heavy sleet showers"), "yu"),
    Row("heavysleetshowersandthunder", kSleetThunder + kHeavy,
        QT_TRANSLATE_NOOP("Weather", "Heavy sleet showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy sleet showers and thunder"),
        "lei"),
    Row("heavysnow", kSnow + kHeavy, QT_TRANSLATE_NOOP("Weather", "Heavy snow"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Heavy snow"), "xue"),
    Row("heavysnowandthunder", kSnowThunder + kHeavy,
        QT_TRANSLATE_NOOP("Weather", "Heavy snow and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy snow and thunder"), "lei"),
    Row("heavysnowshowers", kSnow + kHeavy, QT_TRANSLATE_NOOP("Weather", "Heavy snow showers"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Heavy snow showers"), "xue"),
    Row("heavysnowshowersandthunder", kSnowThunder + kHeavy,
        QT_TRANSLATE_NOOP("Weather", "Heavy snow showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy snow showers and thunder"), "lei"),
    Row("lightrain", kRain + kLight, QT_TRANSLATE_NOOP("Weather", "Light rain"),
        QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Light rain"), "yu"),
    Row("lightrainandthunder", kRainThunder + kLight,
        QT_TRANSLATE_NOOP("Weather", "Light rain and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light rain and thunder"), "lei"),
    Row("lightrainshowers", kRain + kLight, QT_TRANSLATE_NOOP("Weather", "Light rain showers"),
        QT_TRANSLATE_NOOP3("Weather", "Showers", "short for: Light rain showers"), "yu"),
    Row("lightrainshowersandthunder", kRainThunder + kLight,
        QT_TRANSLATE_NOOP("Weather", "Light rain showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light rain showers and thunder"), "lei"),
    Row("lightsleet", kSleet + kLight, QT_TRANSLATE_NOOP("Weather", "Light sleet"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Light sleet"), "yu"),
    Row("lightsleetandthunder", kSleetThunder + kLight,
        QT_TRANSLATE_NOOP("Weather", "Light sleet and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light sleet and thunder"), "lei"),
    Row("lightsleetshowers", kSleet + kLight, QT_TRANSLATE_NOOP("Weather", "Light sleet showers"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Light sleet showers"), "yu"),
    Row("lightsnow", kSnow + kLight, QT_TRANSLATE_NOOP("Weather", "Light snow"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Light snow"), "xue"),
    Row("lightsnowandthunder", kSnowThunder + kLight,
        QT_TRANSLATE_NOOP("Weather", "Light snow and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light snow and thunder"), "lei"),
    Row("lightsnowshowers", kSnow + kLight, QT_TRANSLATE_NOOP("Weather", "Light snow showers"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Light snow showers"), "xue"),
    Row("lightssleetshowersandthunder", kSleetThunder + kLight,
        QT_TRANSLATE_NOOP("Weather", "Light sleet showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light sleet showers and thunder"),
        "lei"),
    Row("lightssnowshowersandthunder", kSnowThunder + kLight,
        QT_TRANSLATE_NOOP("Weather", "Light snow showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light snow showers and thunder"), "lei"),
    Row("partlycloudy", kPartlyCloudy, QT_TRANSLATE_NOOP("Weather", "Partly cloudy"),
        QT_TRANSLATE_NOOP3("Weather", "Cloudy", "short for: Partly cloudy"), "yun"),
    Row("rain", kRain + kPlain, QT_TRANSLATE_NOOP("Weather", "Rain"),
        QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Rain"), "yu"),
    Row("rainandthunder", kRainThunder + kPlain, QT_TRANSLATE_NOOP("Weather", "Rain and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Rain and thunder"), "lei"),
    Row("rainshowers", kRain + kPlain, QT_TRANSLATE_NOOP("Weather", "Rain showers"),
        QT_TRANSLATE_NOOP3("Weather", "Showers", "short for: Rain showers"), "yu"),
    Row("rainshowersandthunder", kRainThunder + kPlain,
        QT_TRANSLATE_NOOP("Weather", "Rain showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Rain showers and thunder"), "lei"),
    Row("sleet", kSleet + kPlain, QT_TRANSLATE_NOOP("Weather", "Sleet"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Sleet"), "yu"),
    Row("sleetandthunder", kSleetThunder + kPlain,
        QT_TRANSLATE_NOOP("Weather", "Sleet and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Sleet and thunder"), "lei"),
    Row("sleetshowers", kSleet + kPlain, QT_TRANSLATE_NOOP("Weather", "Sleet showers"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Sleet showers"), "yu"),
    Row("sleetshowersandthunder", kSleetThunder + kPlain,
        QT_TRANSLATE_NOOP("Weather", "Sleet showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Sleet showers and thunder"), "lei"),
    Row("snow", kSnow + kPlain, QT_TRANSLATE_NOOP("Weather", "Snow"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Snow"), "xue"),
    Row("snowandthunder", kSnowThunder + kPlain, QT_TRANSLATE_NOOP("Weather", "Snow and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Snow and thunder"), "lei"),
    Row("snowshowers", kSnow + kPlain, QT_TRANSLATE_NOOP("Weather", "Snow showers"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Snow showers"), "xue"),
    Row("snowshowersandthunder", kSnowThunder + kPlain,
        QT_TRANSLATE_NOOP("Weather", "Snow showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Snow showers and thunder"), "lei"),
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
