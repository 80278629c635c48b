#include "panel/places/geo_place.h"

#include <QRegularExpression>
#include <cmath>

#include "text/run_error.h"

namespace skyvane {

namespace {

// One signed decimal number, as ReadDegrees accepts it.
constexpr char kDegreesPattern[] = R"([+-]?(?:\d+\.?\d*|\.\d+))";

QString RangeText(double limit) {
  return QStringLiteral("-%1 to %1").arg(DegreesText(limit));
}

}  // namespace

std::optional<double> ReadDegrees(const QString& text) {
  static const QRegularExpression pattern(
      QRegularExpression::anchoredPattern(QLatin1String(kDegreesPattern)));
  if (!pattern.match(text).hasMatch()) return std::nullopt;
  bool ok = false;
  const double value = text.toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

QString CoordinateProblem(double latitude, double longitude) {
  if (!(std::fabs(latitude) <= kMaxLatitude)) {
    return QStringLiteral("latitude %1 is outside %2")
        .arg(DegreesText(latitude), RangeText(kMaxLatitude));
  }
  if (!(std::fabs(longitude) <= kMaxLongitude)) {
    return QStringLiteral("longitude %1 is outside %2")
        .arg(DegreesText(longitude), RangeText(kMaxLongitude));
  }
  return QString();
}

std::optional<GeoPlace> ReadCoordinatePair(const QString& text) {
  const qsizetype comma = text.indexOf(u',');
  if (comma < 0) return std::nullopt;
  const std::optional<double> latitude = ReadDegrees(text.left(comma).trimmed());
  const std::optional<double> longitude = ReadDegrees(text.mid(comma + 1).trimmed());
  if (!latitude || !longitude) return std::nullopt;
  const QString problem = CoordinateProblem(*latitude, *longitude);
  if (!problem.isEmpty()) Raise(ErrorNumber::kInvalidArgument, problem.toStdString());
  GeoPlace place{QString(), *latitude, *longitude};
  place.name = CoordinatePairText(place);
  return place;
}

QString DegreesText(double degrees) {
  QString text = QString::number(degrees, 'f', kCoordinatePlaces);
  if (text.contains(u'.')) {
    while (text.endsWith(u'0')) text.chop(1);
    if (text.endsWith(u'.')) text.chop(1);
  }
  if (text == QLatin1String("-0")) return QStringLiteral("0");
  return text;
}

QString CoordinatePairText(const GeoPlace& place) {
  return DegreesText(place.latitude) + u',' + DegreesText(place.longitude);
}

}  // namespace skyvane
