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

constexpr MetNorwaySymbol Row(std::string_view code, const char* english, NotedText brief) {
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
                           WmoWeather{-1, english, brief, kind.icon}};
  }
  return MetNorwaySymbol{code, -1, WmoWeather{-1, english, brief, "weizhi"}};
}

// Sorted by code, as DescribeMetNorwaySymbol searches it.
constexpr std::array<MetNorwaySymbol, 41> kTable{{
    Row("clearsky", QT_TRANSLATE_NOOP("Weather", "Clear sky"),
        QT_TRANSLATE_NOOP3("Weather", "Clear", "short for: Clear sky")),
    Row("cloudy", QT_TRANSLATE_NOOP("Weather", "Cloudy"),
        QT_TRANSLATE_NOOP3("Weather", "Cloudy", "short for: Cloudy")),
    Row("fair", QT_TRANSLATE_NOOP("Weather", "Fair"),
        QT_TRANSLATE_NOOP3("Weather", "Fair", "short for: Fair")),
    Row("fog", QT_TRANSLATE_NOOP("Weather", "Fog"),
        QT_TRANSLATE_NOOP3("Weather", "Fog", "short for: Fog")),
    Row("heavyrain", QT_TRANSLATE_NOOP("Weather", "Heavy rain"),
        QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Heavy rain")),
    Row("heavyrainandthunder", QT_TRANSLATE_NOOP("Weather", "Heavy rain and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy rain and thunder")),
    Row("heavyrainshowers", QT_TRANSLATE_NOOP("Weather", "Heavy rain showers"),
        QT_TRANSLATE_NOOP3("Weather", "Showers", "short for: Heavy rain showers")),
    Row("heavyrainshowersandthunder",
        QT_TRANSLATE_NOOP("Weather", "Heavy rain showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy rain showers and thunder")),
    Row("heavysleet", QT_TRANSLATE_NOOP("Weather", "Heavy sleet"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Heavy sleet")),
    Row("heavysleetandthunder", QT_TRANSLATE_NOOP("Weather", "Heavy sleet and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy sleet and thunder")),
    Row("heavysleetshowers", QT_TRANSLATE_NOOP("Weather", "Heavy sleet showers"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Heavy sleet showers")),
    Row("heavysleetshowersandthunder",
        QT_TRANSLATE_NOOP("Weather", "Heavy sleet showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy sleet showers and thunder")),
    Row("heavysnow", QT_TRANSLATE_NOOP("Weather", "Heavy snow"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Heavy snow")),
    Row("heavysnowandthunder", QT_TRANSLATE_NOOP("Weather", "Heavy snow and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy snow and thunder")),
    Row("heavysnowshowers", QT_TRANSLATE_NOOP("Weather", "Heavy snow showers"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Heavy snow showers")),
    Row("heavysnowshowersandthunder",
        QT_TRANSLATE_NOOP("Weather", "Heavy snow showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Heavy snow showers and thunder")),
    Row("lightrain", QT_TRANSLATE_NOOP("Weather", "Light rain"),
        QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Light rain")),
    Row("lightrainandthunder", QT_TRANSLATE_NOOP("Weather", "Light rain and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light rain and thunder")),
    Row("lightrainshowers", QT_TRANSLATE_NOOP("Weather", "Light rain showers"),
        QT_TRANSLATE_NOOP3("Weather", "Showers", "short for: Light rain showers")),
    Row("lightrainshowersandthunder",
        QT_TRANSLATE_NOOP("Weather", "Light rain showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light rain showers and thunder")),
    Row("lightsleet", QT_TRANSLATE_NOOP("Weather", "Light sleet"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Light sleet")),
    Row("lightsleetandthunder", QT_TRANSLATE_NOOP("Weather", "Light sleet and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light sleet and thunder")),
    Row("lightsleetshowers", QT_TRANSLATE_NOOP("Weather", "Light sleet showers"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Light sleet showers")),
    Row("lightsnow", QT_TRANSLATE_NOOP("Weather", "Light snow"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Light snow")),
    Row("lightsnowandthunder", QT_TRANSLATE_NOOP("Weather", "Light snow and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light snow and thunder")),
    Row("lightsnowshowers", QT_TRANSLATE_NOOP("Weather", "Light snow showers"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Light snow showers")),
    Row("lightssleetshowersandthunder",
        QT_TRANSLATE_NOOP("Weather", "Light sleet showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light sleet showers and thunder")),
    Row("lightssnowshowersandthunder",
        QT_TRANSLATE_NOOP("Weather", "Light snow showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Light snow showers and thunder")),
    Row("partlycloudy", QT_TRANSLATE_NOOP("Weather", "Partly cloudy"),
        QT_TRANSLATE_NOOP3("Weather", "Cloudy", "short for: Partly cloudy")),
    Row("rain", QT_TRANSLATE_NOOP("Weather", "Rain"),
        QT_TRANSLATE_NOOP3("Weather", "Rain", "short for: Rain")),
    Row("rainandthunder", QT_TRANSLATE_NOOP("Weather", "Rain and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Rain and thunder")),
    Row("rainshowers", QT_TRANSLATE_NOOP("Weather", "Rain showers"),
        QT_TRANSLATE_NOOP3("Weather", "Showers", "short for: Rain showers")),
    Row("rainshowersandthunder", QT_TRANSLATE_NOOP("Weather", "Rain showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Rain showers and thunder")),
    Row("sleet", QT_TRANSLATE_NOOP("Weather", "Sleet"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Sleet")),
    Row("sleetandthunder", QT_TRANSLATE_NOOP("Weather", "Sleet and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Sleet and thunder")),
    Row("sleetshowers", QT_TRANSLATE_NOOP("Weather", "Sleet showers"),
        QT_TRANSLATE_NOOP3("Weather", "Sleet", "short for: Sleet showers")),
    Row("sleetshowersandthunder", QT_TRANSLATE_NOOP("Weather", "Sleet showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Sleet showers and thunder")),
    Row("snow", QT_TRANSLATE_NOOP("Weather", "Snow"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Snow")),
    Row("snowandthunder", QT_TRANSLATE_NOOP("Weather", "Snow and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Snow and thunder")),
    Row("snowshowers", QT_TRANSLATE_NOOP("Weather", "Snow showers"),
        QT_TRANSLATE_NOOP3("Weather", "Snow", "short for: Snow showers")),
    Row("snowshowersandthunder", QT_TRANSLATE_NOOP("Weather", "Snow showers and thunder"),
        QT_TRANSLATE_NOOP3("Weather", "Storm", "short for: Snow showers and thunder")),
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
