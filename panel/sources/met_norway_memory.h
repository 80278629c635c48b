// What MET Norway's terms leave for the next start: the last address asked,
// its Last-Modified, the time before which it may not be asked again (its
// Expires, or a 429's Retry-After) and the last answer's body, kept in one
// file so that a panel started again keeps to the same terms.
//
// The file is one line of JSON, then the body as the service sent it:
//   {"format":"skyvane met norway memory 1","address":"https://...",
//    "last_modified":"Tue, 01 Jun 2026 18:00:00 GMT",
//    "not_before":"2026-06-01T19:00:00Z","after_refusal":false}
//   {"type":"Feature",...}
// It is written whole or not at all (QSaveFile), at most kMetNorwayMemoryCap
// bytes. A file read back is trusted only when it is a regular file within
// the cap whose first line holds every member above with the right type, a
// "not_before" that is empty or a time at most kMetNorwayMemoryHorizon from
// now, so that a damaged file never stops the panel from asking for long.
#ifndef SKYVANE_PANEL_SOURCES_MET_NORWAY_MEMORY_H_
#define SKYVANE_PANEL_SOURCES_MET_NORWAY_MEMORY_H_

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

#include "panel/fetch/http_fetch.h"

namespace skyvane {

inline constexpr char kMetNorwayMemoryFormat[] = "skyvane met norway memory 1";
// The body may be as large as a fetch allows; the line before it is small.
inline constexpr int64_t kMetNorwayMemoryCap = kFetchBodyCap + int64_t{64} * 1024;
// A kept "not_before" further ahead than this is not believed.
inline constexpr std::chrono::hours kMetNorwayMemoryHorizon{24};

struct MetNorwayMemory {
  QString address;
  QByteArray last_modified;  // empty: none
  QDateTime not_before;      // invalid: none
  bool after_refusal = false;
  QString body;  // the last 200 or 203 answer; empty: none
};

// The file's text (UTF-8).
QByteArray MetNorwayMemoryText(const MetNorwayMemory& memory);

struct MetNorwayMemoryRead {
  std::optional<MetNorwayMemory> memory;
  // Empty when the file was read or is missing; otherwise one line naming
  // the file and why it is not trusted.
  QString problem;
};
// Reads the file at `path`, judging "not_before" against `now`. Raises
// nothing.
MetNorwayMemoryRead ReadMetNorwayMemory(const QString& path, const QDateTime& now);

// Writes `memory` to `path` atomically, making its folder. Returns an empty
// text, or one line saying why nothing was written.
QString WriteMetNorwayMemory(const QString& path, const MetNorwayMemory& memory);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_MET_NORWAY_MEMORY_H_
