// The last whole forecast of a place, kept on disk so that a panel started
// without an answer (offline, the service down) shows it at once.
//
// One file per source, `forecast-SOURCE.json` in KeptForecastFolder(): one
// JSON object holding the panel's own forecast document as the refresh
// filled the columns from it, with the source, the place, the time it was
// fetched (in UTC, with milliseconds only when it has some) and the date of
// its first day record:
//   {"format":"skyvane kept forecast 1","source":"open-meteo",
//    "place":{"name":"Berlin","latitude":52.52,"longitude":13.41},
//    "fetched":"2026-12-09T17:05:00Z","first_day":"2026-12-09",
//    "document":"{\"data\":[...]}","details":"{...}"}
// "details" (the days' details as KeptDayDetailsText writes them) is there
// only when the forecast had details; a file without it reads as a forecast
// without details, and so does one where it is no text.
// The file is written whole or not at all (QSaveFile) and is at most
// kKeptForecastCap bytes. A file read back is trusted only when it is a
// regular file within the cap (ReadLocalFile: never a FIFO, a device or a
// huge sparse file) that holds every member above with the right type, and
// whose time would be written back as itself.
#ifndef SKYVANE_PANEL_KEEP_KEPT_FORECAST_H_
#define SKYVANE_PANEL_KEEP_KEPT_FORECAST_H_

#include <QDate>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

#include "panel/places/geo_place.h"

namespace skyvane {

// A kept file larger than this is neither written nor read.
inline constexpr int64_t kKeptForecastCap = int64_t{256} * 1024;
inline constexpr char kKeptForecastFormat[] = "skyvane kept forecast 1";
// A forecast fetched longer ago than this is shown as stale.
inline constexpr int64_t kStaleAfterSeconds = int64_t{3} * 60 * 60;

struct KeptForecast {
  QString source;  // the source's short name, e.g. "open-meteo"
  GeoPlace place;
  QDateTime fetched;
  QDate first_day;   // the date of the document's first day record
  QString document;  // the panel's own forecast document
  QString details;   // the days' details (KeptDayDetailsText), or empty
};

// $XDG_CACHE_HOME/skyvane (QStandardPaths::GenericCacheLocation), or an
// empty text when the system names no cache folder.
QString KeptForecastFolder();
// The file of `source` in `folder`.
QString KeptForecastPath(const QString& folder, const QString& source);

// The forecast as the JSON text of its file (UTF-8).
QByteArray KeptForecastText(const KeptForecast& kept);

struct KeptRead {
  std::optional<KeptForecast> kept;
  // Empty when the file was read or is missing; otherwise one line naming
  // the file and why it is not trusted.
  QString problem;
};
// Reads the kept file at `path`. Raises nothing.
KeptRead ReadKeptForecast(const QString& path);
// Reads `bytes`, the text of a kept file, naming it `path` in the problem.
// Touches no file; raises nothing. What KeptForecastText writes reads back
// as the same forecast.
KeptRead ReadKeptForecastText(const QByteArray& bytes, const QString& path);

// Writes `kept` to `path` atomically, making its folder. Returns an empty
// text, or one line saying why nothing was written (the folder or file
// cannot be written, the text would pass kKeptForecastCap).
QString WriteKeptForecast(const QString& path, const KeptForecast& kept);

// True when `a` and `b` are the same place: the same coordinates to the
// places GeoPlace texts are written with (the name may change language).
bool SamePlace(const GeoPlace& a, const GeoPlace& b);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_KEEP_KEPT_FORECAST_H_
