// The temperature unit the panel shows an Open-Meteo forecast in, and the
// exact conversion of a temperature between the two units.
//
// The unit is the user's choice kept in the settings ("units" =
// "celsius" | "fahrenheit"), or else the one of the user's locale:
// Fahrenheit where it measures in US units (QLocale::ImperialUSSystem),
// Celsius everywhere else. The panel's own service is not touched by it.
#ifndef SKYVANE_PANEL_WEATHER_TEMPERATURE_UNIT_H_
#define SKYVANE_PANEL_WEATHER_TEMPERATURE_UNIT_H_

#include <QLocale>
#include <QString>
#include <optional>

#include "json/decimal.h"

namespace skyvane {

enum class TemperatureUnit { kCelsius, kFahrenheit };

// The settings key of the chosen unit.
inline constexpr char kUnitsKey[] = "units";

// The unit `locale` measures temperatures in.
TemperatureUnit UnitOfLocale(const QLocale& locale);

// The unit a "units" text names: "celsius" or "fahrenheit" (any case,
// blanks around ignored). Nothing for the empty text and for any other.
std::optional<TemperatureUnit> UnitNamed(const QString& name);
// "celsius" or "fahrenheit", as kept in the settings.
QString UnitName(TemperatureUnit unit);

// The value of Open-Meteo's "temperature_unit" request parameter.
QString OpenMeteoUnitParameter(TemperatureUnit unit);

// The unit an Open-Meteo "daily_units" entry names: "°F", "℉", "F" or
// "fahrenheit" (any case) is Fahrenheit; "°C", "℃", "C" or "celsius" is
// Celsius; nothing for any other text.
std::optional<TemperatureUnit> UnitOfAnswer(const QString& unit_text);

// The sign a whole-degree caption ends in: "℃" (U+2103) or "℉" (U+2109).
QChar UnitSign(TemperatureUnit unit);

// `value`, given in `from`, in `to`, exactly, rounded half away from zero
// to a whole degree: F = C × 9 / 5 + 32, C = (F − 32) × 5 / 9, computed on
// the decimal's digits, never in floating point. Negative zero is zero.
long long WholeDegrees(const Decimal& value, TemperatureUnit from, TemperatureUnit to);

// How a minimum temperature colours its caption: cold at or below 15 ℃
// (59 ℉), hot at or above 25 ℃ (77 ℉), mild between. Decided on the whole
// value of `whole_degrees` in `unit`.
enum class TemperatureTone { kCold, kMild, kHot };
TemperatureTone ToneOf(long long whole_degrees, TemperatureUnit unit);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_WEATHER_TEMPERATURE_UNIT_H_
