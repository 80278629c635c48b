#include "panel/weather/wmo_weather.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

namespace skyvane {

namespace {

// Strength is told by the whole text; the short form keeps the kind only.
constexpr std::array<WmoWeather, 28> kTable{{
    {0, QT_TRANSLATE_NOOP("Weather", "Clear"),
     QT_TRANSLATE_NOOP3("Weather", "Clear", "short for: Clear"), "qing"},
    {1, QT_TRANSLATE_NOOP("Weather", "Mainly clear"),
     QT_TRANSLATE_NOOP3("Weather", "Clear", "short for: Mainly clear"), "qing"},
    {2, QT_TRANSLATE_NOOP("Weather", "Partly cloudy"),
     QT_TRANSLATE_NOOP3("Weather", "Cloudy", "short for: Partly cloudy"), "yun"},
    {3, QT_TRANSLATE_NOOP("Weather", "Overcast"),
     QT_TRANSLATE_NOOP3("Weather", "Overcast", "short for: Overcast"), "yin"},
    {45, QT_TRANSLATE_NOOP("Weather", "Fog"),
     QT_TRANSLATE_NOOP3("Weather", "Fog", "short for: Fog"), "wu"},
    {48, QT_TRANSLATE_NOOP("Weather", "Rime fog"),
     QT_TRANSLATE_NOOP3("Weather", "Fog", "short for: Rime fog"), "wu"},
    {51, QT_TRANSLATE_NOOP("Weather", "Light drizzle"),
     QT_TRANSLATE_NOOP3("Weather", "Drizzle", "short for: Light drizzle"), "yu"},
    {53, QT_TRANSLATE_NOOP("Weather", "Drizzle"),
     QT_TRANSLATE_NOOP3("Weather", "Drizzle", "short for: Drizzle"), "yu"},
    {55, QT_TRANSLATE_NOOP("Weather", "Dense drizzle"),
     QT_TRANSLATE_NOOP3("Weather", "Drizzle", "short for: Dense drizzle"), "yu"},
    {56, QT_TRANSLATE_NOOP("Weather", "Freezing drizzle"),
     QT_TRANSLATE_NOOP3("Weather", "Drizzle", "short for: Freezing drizzle"), "yu"},
    {57, QT_TRANSLATE_NOOP("Weather", "Dense freezing drizzle"),
     QT_TRANSLATE_NOOP3("Weather", "Drizzle", "short for: Dense freezing drizzle"), "yu"},
    {61, QT_TRANSLATE_NOOP("Weather", "Light rain"),
     QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Light rain"), "yu"},
    {63, QT_TRANSLATE_NOOP("Weather", "Rain"),
     QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Rain"), "yu"},
    {65, QT_TRANSLATE_NOOP("Weather", "Heavy rain"),
     QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Heavy rain"), "yu"},
    {66, QT_TRANSLATE_NOOP("Weather", "Freezing rain"),
     QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Freezing rain"), "yu"},
    {67, QT_TRANSLATE_NOOP("Weather", "Heavy freezing rain"),
     QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Heavy freezing rain"), "yu"},
    {71, QT_TRANSLATE_NOOP("Weather", "Light snow"),
     QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Light snow"), "xue"},
    {73, QT_TRANSLATE_NOOP("Weather", "Snow"),
     QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Snow"), "xue"},
    {75, QT_TRANSLATE_NOOP("Weather", "Heavy snow"),
     QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Heavy snow"), "xue"},
    {77, QT_TRANSLATE_NOOP("Weather", "Snow grains"),
     QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Snow grains"), "xue"},
    {80, QT_TRANSLATE_NOOP("Weather", "Light showers"),
     QT_TRANSLATE_NOOP3("Weather", "Showers", "short for: Light showers"), "yu"},
    {81, QT_TRANSLATE_NOOP("Weather", "Showers"),
     QT_TRANSLATE_NOOP3("Weather", "Showers", "short for: Showers"), "yu"},
    {82, QT_TRANSLATE_NOOP("Weather", "Violent showers"),
     QT_TRANSLATE_NOOP3("Weather", "Showers", "short for: Violent showers"), "yu"},
    {85, QT_TRANSLATE_NOOP("Weather", "Snow showers"),
     QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Snow showers"), "xue"},
    {86, QT_TRANSLATE_NOOP("Weather", "Heavy snow showers"),
     QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Heavy snow showers"), "xue"},
    {95, QT_TRANSLATE_NOOP("Weather", "Thunderstorm"),
     QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Thunderstorm"), "lei"},
    {96, QT_TRANSLATE_NOOP("Weather", "Thunderstorm, hail"),
     QT_TRANSLATE_NOOP3("Weather", "Hail", "short for: Thunderstorm, hail"), "bingbao"},
    {99, QT_TRANSLATE_NOOP("Weather", "Thunderstorm, heavy hail"),
     QT_TRANSLATE_NOOP3("Weather", "Hail", "short for: Thunderstorm, heavy hail"), "bingbao"},
}};

}  // namespace

const WmoWeather kUnknownWeather{-1, QT_TRANSLATE_NOOP("Weather", "Unknown"),
                                 QT_TRANSLATE_NOOP3("Weather", "Unknown", "short for: Unknown"),
                                 "weizhi"};

QString WmoWeather::Text(WeatherLanguage language) const {
  if (language == WeatherLanguage::kEnglish) return QString::fromUtf8(english);
  return QCoreApplication::translate(kWeatherContext, english);
}

QString WmoWeather::Brief(WeatherLanguage language) const {
  if (language == WeatherLanguage::kEnglish) return QString::fromUtf8(brief.source);
  return QCoreApplication::translate(kWeatherContext, brief.source, brief.comment);
}

std::span<const WmoWeather> WmoWeatherTable() {
  return kTable;
}

const WmoWeather& DescribeWmoCode(std::optional<int> code) {
  if (!code) return kUnknownWeather;
  const auto found =
      std::lower_bound(kTable.begin(), kTable.end(), *code,
                       [](const WmoWeather& entry, int wanted) { return entry.code < wanted; });
  if (found == kTable.end() || found->code != *code) return kUnknownWeather;
  return *found;
}

}  // namespace skyvane
