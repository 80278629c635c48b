#include "panel/sources/met_norway_symbols.h"

#include <algorithm>
#include <array>

namespace skyvane {

namespace {

// The kinds of weather, least severe first. A code is of the last kind it
// fits: a dry kind fits its one code, a wet kind every code that names its
// fall, with "thunder" or without as the kind says.
struct Kind {
  std::string_view dry_code;  // empty for a wet kind
  std::string_view fall;      // "rain", "sleet" or "snow"; empty for a dry kind
  bool thunder;
  std::string_view icon;
};
constexpr std::array<Kind, 11> kKinds{{
    {"clearsky", "", false, "qing"},
    {"fair", "", false, "qing"},
    {"partlycloudy", "", false, "yun"},
    {"cloudy", "", false, "yin"},
    {"fog", "", false, "wu"},
    {"", "rain", false, "yu"},
    {"", "sleet", false, "yu"},
    {"", "snow", false, "xue"},
    {"", "rain", true, "lei"},
    {"", "sleet", true, "lei"},
    {"", "snow", true, "lei"},
}};
// Kinds lie this far apart in severity; within a wet kind a "light" code
// adds 0, a plain one 1, a "heavy" one 2.
constexpr int kKindStep = 10;

constexpr bool Holds(std::string_view code, std::string_view part) {
  return code.find(part) != std::string_view::npos;
}

constexpr MetNorwaySymbol Row(std::string_view code, std::u16string_view chinese,
                              std::u16string_view english) {
  for (std::size_t k = kKinds.size(); k-- > 0;) {
    const Kind& kind = kKinds[k];
    const bool fits = kind.fall.empty()
                          ? code == kind.dry_code
                          : Holds(code, kind.fall) && Holds(code, "thunder") == kind.thunder;
    if (!fits) continue;
    int strength = 0;
    if (!kind.fall.empty()) {
      strength = code.starts_with("light") ? 0 : (code.starts_with("heavy") ? 2 : 1);
    }
    return MetNorwaySymbol{code, static_cast<int>(k) * kKindStep + strength,
                           WmoWeather{-1, chinese, english, kind.icon}};
  }
  return MetNorwaySymbol{code, -1, WmoWeather{-1, chinese, english, "weizhi"}};
}

// Sorted by code, as DescribeMetNorwaySymbol searches it.
constexpr std::array<MetNorwaySymbol, 41> kTable{{
    Row("clearsky", u"晴", u"Clear sky"),
    Row("cloudy", u"阴", u"Cloudy"),
    Row("fair", u"晴间多云", u"Fair"),
    Row("fog", u"雾", u"Fog"),
    Row("heavyrain", u"大雨", u"Heavy rain"),
    Row("heavyrainandthunder", u"强雷雨", u"Heavy rain and thunder"),
    Row("heavyrainshowers", u"强阵雨", u"Heavy rain showers"),
    Row("heavyrainshowersandthunder", u"强雷阵雨", u"Heavy rain showers and thunder"),
    Row("heavysleet", u"大雨夹雪", u"Heavy sleet"),
    Row("heavysleetandthunder", u"大雨夹雪伴雷", u"Heavy sleet and thunder"),
    Row("heavysleetshowers", u"强阵雨夹雪", u"Heavy sleet showers"),
    Row("heavysleetshowersandthunder", u"强阵雨夹雪伴雷", u"Heavy sleet showers and thunder"),
    Row("heavysnow", u"大雪", u"Heavy snow"),
    Row("heavysnowandthunder", u"大雪伴雷", u"Heavy snow and thunder"),
    Row("heavysnowshowers", u"大阵雪", u"Heavy snow showers"),
    Row("heavysnowshowersandthunder", u"大阵雪伴雷", u"Heavy snow showers and thunder"),
    Row("lightrain", u"小雨", u"Light rain"),
    Row("lightrainandthunder", u"雷阵雨", u"Light rain and thunder"),
    Row("lightrainshowers", u"小阵雨", u"Light rain showers"),
    Row("lightrainshowersandthunder", u"雷阵雨", u"Light rain showers and thunder"),
    Row("lightsleet", u"小雨夹雪", u"Light sleet"),
    Row("lightsleetandthunder", u"小雨夹雪伴雷", u"Light sleet and thunder"),
    Row("lightsleetshowers", u"小阵雨夹雪", u"Light sleet showers"),
    Row("lightsnow", u"小雪", u"Light snow"),
    Row("lightsnowandthunder", u"小雪伴雷", u"Light snow and thunder"),
    Row("lightsnowshowers", u"小阵雪", u"Light snow showers"),
    Row("lightssleetshowersandthunder", u"小阵雨夹雪伴雷", u"Light sleet showers and thunder"),
    Row("lightssnowshowersandthunder", u"小阵雪伴雷", u"Light snow showers and thunder"),
    Row("partlycloudy", u"多云", u"Partly cloudy"),
    Row("rain", u"中雨", u"Rain"),
    Row("rainandthunder", u"雷雨", u"Rain and thunder"),
    Row("rainshowers", u"阵雨", u"Rain showers"),
    Row("rainshowersandthunder", u"雷阵雨", u"Rain showers and thunder"),
    Row("sleet", u"雨夹雪", u"Sleet"),
    Row("sleetandthunder", u"雨夹雪伴雷", u"Sleet and thunder"),
    Row("sleetshowers", u"阵雨夹雪", u"Sleet showers"),
    Row("sleetshowersandthunder", u"阵雨夹雪伴雷", u"Sleet showers and thunder"),
    Row("snow", u"中雪", u"Snow"),
    Row("snowandthunder", u"雪伴雷", u"Snow and thunder"),
    Row("snowshowers", u"阵雪", u"Snow showers"),
    Row("snowshowersandthunder", u"阵雪伴雷", u"Snow showers and thunder"),
}};
static_assert(std::ranges::all_of(kTable, [](const MetNorwaySymbol& s) { return s.severity >= 0; }),
              "every code is of a kind");

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
