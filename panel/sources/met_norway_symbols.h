// The weather of a MET Norway symbol code: an English text and its short
// form, translated as wmo_weather.h's are, one of the panel's icon names (the
// same names as wmo_weather.h), and a severity that ranks the codes of one
// day.
//
// The table holds the 41 base codes; "_day", "_night" and "_polartwilight"
// variants are folded onto their base ("rainshowers_night" is
// "rainshowers"). It includes the two codes the service spells
// "lightssleetshowersandthunder" and "lightssnowshowersandthunder" on
// purpose. An unknown or missing code gets kUnknownWeather.
//
// Severity, highest first: thunder (with snow, then sleet, then rain) above
// snow above sleet above rain above fog above cloudy above partly cloudy
// above fair above clear sky; within one kind heavy above plain above light,
// showers ranking as the steady fall of the same strength.
#ifndef SKYVANE_PANEL_SOURCES_MET_NORWAY_SYMBOLS_H_
#define SKYVANE_PANEL_SOURCES_MET_NORWAY_SYMBOLS_H_

#include <QString>
#include <span>
#include <string_view>

#include "panel/weather/wmo_weather.h"

namespace skyvane {

struct MetNorwaySymbol {
  std::string_view code;  // the base code, e.g. "heavyrainshowers"
  int severity = -1;      // larger is more severe; -1 for an unknown code
  WmoWeather weather;     // texts and icon (its `code` is unused: -1)
};

// All 41 base codes, in ascending order of `code`.
std::span<const MetNorwaySymbol> MetNorwaySymbolTable();

// The entry for `symbol_code` with any variant suffix removed; for an empty
// or unknown code, an entry of severity -1 with kUnknownWeather.
const MetNorwaySymbol& DescribeMetNorwaySymbol(const QString& symbol_code);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_MET_NORWAY_SYMBOLS_H_
