#include "panel/places/zone_reference.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <QtGlobal>
#include <cstdint>

#include "panel/fetch/local_file.h"

namespace skyvane {

namespace {

constexpr double kMinutesPerDegree = 60.0;
constexpr double kSecondsPerDegree = 3600.0;
// Columns of a zone table row.
constexpr int kCoordinatesColumn = 1;
constexpr int kZoneColumn = 2;
// Links can chain (a link to a link); no real chain is longer than this.
constexpr int kMaxLinkSteps = 8;

// Far above the size of any of the tables (tzdata.zi, the largest, is some
// 110 KiB), so that a wrong TZDIR cannot make the panel read without end.
constexpr int64_t kMaxTableBytes = int64_t{4} * 1024 * 1024;

// The text of `file` in `folder`, or the empty text when it cannot be read.
QString ReadTable(const QString& folder, const char* file) {
  const LocalFileRead table =
      ReadLocalFile(QDir(folder).filePath(QLatin1String(file)), kMaxTableBytes);
  if (table.outcome != LocalFileRead::Outcome::kRead) return QString();
  return QString::fromUtf8(table.bytes);
}

// Sign, degrees, minutes and optional seconds of one ISO 6709 coordinate.
double Degrees(const QString& sign, const QString& degrees, const QString& minutes,
               const QString& seconds) {
  const double value = degrees.toDouble() + minutes.toDouble() / kMinutesPerDegree +
                       (seconds.isEmpty() ? 0.0 : seconds.toDouble() / kSecondsPerDegree);
  return sign == QLatin1String("-") ? -value : value;
}

// The city of a zone name: its last part with blanks for underscores
// ("America/Argentina/Buenos_Aires" -> "Buenos Aires").
QString CityOf(const QString& zone_id) {
  return zone_id.section(u'/', -1).replace(u'_', u' ');
}

std::optional<GeoPlace> FindInTables(const QString& zone_id, const QString& zone1970,
                                     const QString& zone) {
  std::optional<GeoPlace> place = FindZoneRow(zone1970, zone_id);
  if (!place) place = FindZoneRow(zone, zone_id);
  return place;
}

}  // namespace

QString TzdataFolder() {
  const QString folder = qEnvironmentVariable(kTzdataFolderVariable);
  return folder.isEmpty() ? QLatin1String(kDefaultTzdataFolder) : folder;
}

std::optional<GeoPlace> ReadIso6709(const QString& text) {
  static const QRegularExpression pattern(
      QStringLiteral(R"(^([+-])(\d{2})(\d{2})(\d{2})?([+-])(\d{3})(\d{2})(\d{2})?$)"));
  const QRegularExpressionMatch match = pattern.match(text);
  // Seconds are given for both coordinates or for neither.
  if (!match.hasMatch() || match.captured(4).isEmpty() != match.captured(8).isEmpty()) {
    return std::nullopt;
  }
  const double latitude =
      Degrees(match.captured(1), match.captured(2), match.captured(3), match.captured(4));
  const double longitude =
      Degrees(match.captured(5), match.captured(6), match.captured(7), match.captured(8));
  if (!CoordinateProblem(latitude, longitude).isEmpty()) return std::nullopt;
  return GeoPlace{QString(), latitude, longitude};
}

std::optional<GeoPlace> FindZoneRow(const QString& table, const QString& zone_id) {
  if (zone_id.isEmpty()) return std::nullopt;
  for (const QStringView line : QStringView(table).split(u'\n')) {
    if (line.startsWith(u'#')) continue;
    const QList<QStringView> columns = line.split(u'\t');
    if (columns.size() <= kZoneColumn || columns[kZoneColumn].trimmed() != zone_id) continue;
    return ReadIso6709(columns[kCoordinatesColumn].toString());
  }
  return std::nullopt;
}

QString FindZoneLinkTarget(const QString& links, const QString& zone_id) {
  for (const QStringView line : QStringView(links).split(u'\n')) {
    if (!line.startsWith(u"L ")) continue;
    const QList<QStringView> words = line.split(u' ', Qt::SkipEmptyParts);
    constexpr int kLinkWords = 3;  // "L", target, link name
    if (words.size() == kLinkWords && words[2] == zone_id) return words[1].toString();
  }
  return QString();
}

std::optional<GeoPlace> ZoneReferencePlace(const QString& zone_id, const QString& tzdata_folder) {
  const QString zone1970 = ReadTable(tzdata_folder, kZone1970Table);
  const QString zone = ReadTable(tzdata_folder, kZoneTable);
  QString canonical = zone_id;
  std::optional<GeoPlace> place = FindInTables(canonical, zone1970, zone);
  if (!place) {
    const QString links = ReadTable(tzdata_folder, kZoneLinks);
    for (int step = 0; step < kMaxLinkSteps && !place; ++step) {
      canonical = FindZoneLinkTarget(links, canonical);
      if (canonical.isEmpty()) break;
      place = FindInTables(canonical, zone1970, zone);
    }
  }
  if (!place) return std::nullopt;
  place->name = QStringLiteral("%1 (%2)").arg(CityOf(canonical), zone_id);
  return place;
}

}  // namespace skyvane
