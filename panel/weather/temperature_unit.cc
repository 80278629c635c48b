#include "panel/weather/temperature_unit.h"

namespace skyvane {

namespace {

// Wide enough for a 96-bit magnitude times 9 plus 160 × 10^28.
__extension__ typedef __int128 Wide;

Wide PowerOfTen(int exponent) {
  Wide power = 1;
  for (int i = 0; i < exponent; ++i) power *= 10;
  return power;
}

// numerator / denominator (denominator > 0) rounded half away from zero.
long long RoundedQuotient(Wide numerator, Wide denominator) {
  const bool negative = numerator < 0;
  const Wide magnitude = negative ? -numerator : numerator;
  Wide quotient = magnitude / denominator;
  if (2 * (magnitude % denominator) >= denominator) ++quotient;
  return static_cast<long long>(negative ? -quotient : quotient);
}

}  // namespace

TemperatureUnit UnitOfLocale(const QLocale& locale) {
  return locale.measurementSystem() == QLocale::ImperialUSSystem ? TemperatureUnit::kFahrenheit
                                                                 : TemperatureUnit::kCelsius;
}

std::optional<TemperatureUnit> UnitNamed(const QString& name) {
  const QString key = name.trimmed().toLower();
  if (key == QLatin1String("celsius")) return TemperatureUnit::kCelsius;
  if (key == QLatin1String("fahrenheit")) return TemperatureUnit::kFahrenheit;
  return std::nullopt;
}

QString UnitName(TemperatureUnit unit) {
  return unit == TemperatureUnit::kFahrenheit ? QStringLiteral("fahrenheit")
                                              : QStringLiteral("celsius");
}

QString OpenMeteoUnitParameter(TemperatureUnit unit) {
  return UnitName(unit);
}

std::optional<TemperatureUnit> UnitOfAnswer(const QString& unit_text) {
  const QString text = unit_text.trimmed().toLower();
  for (const TemperatureUnit unit : {TemperatureUnit::kCelsius, TemperatureUnit::kFahrenheit}) {
    const QString name = UnitName(unit);
    const QChar sign = UnitSign(unit);
    if (text == name || text == name.left(1) || text == QStringLiteral("°") + name.left(1) ||
        text == QString(sign)) {
      return unit;
    }
  }
  return std::nullopt;
}

QChar UnitSign(TemperatureUnit unit) {
  return unit == TemperatureUnit::kFahrenheit ? QChar(u'℉') : QChar(u'℃');
}

long long WholeDegrees(const Decimal& value, TemperatureUnit from, TemperatureUnit to) {
  const Wide scale = PowerOfTen(value.Scale());
  Wide digits = (static_cast<Wide>(value.MagnitudeHigh()) << 64) | value.MagnitudeLow();
  if (value.IsNegative()) digits = -digits;
  if (from == to) return RoundedQuotient(digits, scale);
  if (to == TemperatureUnit::kFahrenheit) {
    // (digits / scale) × 9 / 5 + 32 = (digits × 9 + 160 × scale) / (5 × scale)
    return RoundedQuotient(digits * 9 + 160 * scale, 5 * scale);
  }
  // (digits / scale − 32) × 5 / 9 = (digits − 32 × scale) × 5 / (9 × scale)
  return RoundedQuotient((digits - 32 * scale) * 5, 9 * scale);
}

TemperatureTone ToneOf(long long whole_degrees, TemperatureUnit unit) {
  const bool fahrenheit = unit == TemperatureUnit::kFahrenheit;
  if (whole_degrees <= (fahrenheit ? 59 : 15)) return TemperatureTone::kCold;
  if (whole_degrees >= (fahrenheit ? 77 : 25)) return TemperatureTone::kHot;
  return TemperatureTone::kMild;
}

}  // namespace skyvane
