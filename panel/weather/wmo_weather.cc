#include "panel/weather/wmo_weather.h"

#include <algorithm>
#include <array>

namespace skyvane {

namespace {

// Strength is told by the text: 小 light, plain moderate, 大 heavy, 强 violent.
constexpr std::array<WmoWeather, 28> kTable{{
    {0, u"晴", u"Clear", "qing"},
    {1, u"晴", u"Mainly clear", "qing"},
    {2, u"多云", u"Partly cloudy", "yun"},
    {3, u"阴", u"Overcast", "yin"},
    {45, u"雾", u"Fog", "wu"},
    {48, u"雾", u"Rime fog", "wu"},
    {51, u"小毛毛雨", u"Light drizzle", "yu"},
    {53, u"毛毛雨", u"Drizzle", "yu"},
    {55, u"大毛毛雨", u"Dense drizzle", "yu"},
    {56, u"冻毛毛雨", u"Freezing drizzle", "yu"},
    {57, u"冻毛毛雨", u"Dense freezing drizzle", "yu"},
    {61, u"小雨", u"Light rain", "yu"},
    {63, u"中雨", u"Rain", "yu"},
    {65, u"大雨", u"Heavy rain", "yu"},
    {66, u"冻雨", u"Freezing rain", "yu"},
    {67, u"冻雨", u"Heavy freezing rain", "yu"},
    {71, u"小雪", u"Light snow", "xue"},
    {73, u"中雪", u"Snow", "xue"},
    {75, u"大雪", u"Heavy snow", "xue"},
    {77, u"米雪", u"Snow grains", "xue"},
    {80, u"小阵雨", u"Light showers", "yu"},
    {81, u"阵雨", u"Showers", "yu"},
    {82, u"强阵雨", u"Violent showers", "yu"},
    {85, u"阵雪", u"Snow showers", "xue"},
    {86, u"大阵雪", u"Heavy snow showers", "xue"},
    {95, u"雷阵雨", u"Thunderstorm", "lei"},
    {96, u"雷阵雨冰雹", u"Thunderstorm, hail", "bingbao"},
    {99, u"雷阵雨冰雹", u"Thunderstorm, heavy hail", "bingbao"},
}};

}  // namespace

const WmoWeather kUnknownWeather{-1, u"未知", u"Unknown", "weizhi"};

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
