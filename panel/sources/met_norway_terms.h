// Asking MET Norway as its terms of service ask: an identifying User-Agent,
// no request for an address before its answer's Expires, Last-Modified sent
// back as If-Modified-Since, and restraint after a refusal.
//
// One MetNorwayClient lives as long as the panel and keeps, per address,
// what the last answer allows:
//   200, 203  the body, its Last-Modified and Expires; 203 also writes one
//             warning line (the product is deprecated or in beta);
//   304       the kept body is answered again, as a fresh 200;
//   429       no request before Retry-After (seconds or an HTTP date), or
//             kRetryAfterDefault when it has none;
//   403       the answer becomes a failure whose reason names the
//             User-Agent and the coordinates, the two things the service
//             refuses requests for.
// Before Expires or after a 429 no request is sent: the kept body is
// answered when there is one, otherwise a failure that says until when.
// Every outcome leaves a one-line `note` for the status, empty when there
// is nothing to say. With KeepIn, what an answer leaves is also kept on disk
// (met_norway_memory.h), so that a panel started again keeps to it.
#ifndef SKYVANE_PANEL_SOURCES_MET_NORWAY_TERMS_H_
#define SKYVANE_PANEL_SOURCES_MET_NORWAY_TERMS_H_

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <optional>

#include "panel/fetch/http_fetch.h"

namespace skyvane {

// How long to wait after a 429 that names no Retry-After.
inline constexpr std::chrono::minutes kRetryAfterDefault{10};

// "skyvane/VERSION (+HOMEPAGE)", or "skyvane/VERSION" when the build names
// no home page (SKYVANE_HOMEPAGE).
QByteArray MetNorwayUserAgent();

// An HTTP date ("Wed, 09 Dec 2026 17:30:00 GMT") as a UTC time; nothing
// when `text` is no such date.
std::optional<QDateTime> ReadHttpDate(const QByteArray& text);

class MetNorwayClient {
 public:
  // GETs `url` with `headers`, like XMLHttpGET.
  using HeaderFetch = std::function<FetchResult(const QString& url, const FetchHeaders& headers)>;
  // The time now (UTC).
  using Clock = std::function<QDateTime()>;

  struct Answer {
    FetchResult fetched;  // as the fetch would return it, or the kept body
    QString note;         // for the status; empty when nothing to say
  };

  MetNorwayClient(HeaderFetch fetch, Clock clock, QByteArray user_agent = MetNorwayUserAgent());

  // Keeps the last address's terms in the file at `path` from now on, and
  // takes them from it at the first Ask of that address. A file that cannot
  // be read or written is said in one stderr line and otherwise ignored.
  void KeepIn(const QString& path);

  // Asks for `address` as described above.
  Answer Ask(const QString& address);

 private:
  struct Kept {
    QString body;  // the last 200 or 203 answer, empty before one
    QByteArray last_modified;
    QDateTime not_before;        // no request before this
    bool after_refusal = false;  // not_before comes from a 429
    bool warned = false;         // the 203 line was written
  };

  // What an answered request leaves in `kept`, and the answer for it.
  Answer Answered(Kept& kept, FetchResult fetched, const QDateTime& now);
  // What the file at memory_path_ holds for `address`, or nothing kept.
  Kept Recall(const QString& address) const;
  void Remember(const QString& address, const Kept& kept) const;

  QString memory_path_;
  HeaderFetch fetch_;
  Clock clock_;
  QByteArray user_agent_;
  std::map<QString, Kept> kept_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_MET_NORWAY_TERMS_H_
