// One HTTP GET whose response body comes back as text, for the panel's
// forecast.
//
// The request carries no header of ours unless the caller gives some (Qt
// adds its usual Host, Connection, Accept-Encoding, Accept-Language and
// User-Agent; a header given replaces Qt's of the same name). The body is returned
// whatever the status (an error page as well as a forecast), decoded with
// the system's local 8-bit code page and never by the charset the response
// declares. While the request runs, the calling thread's event loop keeps
// dispatching events; the wait sleeps in that loop and burns no CPU.
//
// Whatever a server sends, the fetch stays bounded: it ends after the time
// limit, and Qt reads the network only as fast as the body is taken, a
// small buffer (kFetchReadBufferBytes) at a time, so an endless body fails
// at the body cap. A compressed body counts unpacked: one buffer of packed
// data unpacks to at most about 1000 times its size (the limit of deflate),
// so a decompression bomb holds some 16 MiB at worst before it fails.
//
// Needs a QCoreApplication and must run on its thread. http://, file:// and
// the other schemes QNetworkAccessManager serves are accepted. A file://
// address must name a regular file (never a FIFO or device, which could
// block or never end) of at most the body cap, and is refused before it is
// read otherwise.
#ifndef SKYVANE_PANEL_FETCH_HTTP_FETCH_H_
#define SKYVANE_PANEL_FETCH_HTTP_FETCH_H_

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace skyvane {

// After this long the request is given up and ends like one that got no
// answer.
inline constexpr std::chrono::milliseconds kFetchTimeLimit{30'000};
// A body larger than this makes the fetch fail instead of growing the
// program without bound.
inline constexpr int64_t kFetchBodyCap = int64_t{8} * 1024 * 1024;
// How much of the body Qt may hold before the fetch takes it.
inline constexpr int64_t kFetchReadBufferBytes = int64_t{16} * 1024;

struct FetchLimits {
  std::chrono::milliseconds time_limit = kFetchTimeLimit;
  int64_t body_cap = kFetchBodyCap;
};

// Header lines, name and value, as sent or as received.
using FetchHeaders = std::vector<std::pair<QByteArray, QByteArray>>;

struct FetchResult {
  // The decoded body; empty when no answer came.
  QString text;
  // Empty when an answer came (whatever its status). Otherwise why none
  // came, e.g. "Connection refused" or "no answer within 30 s"; `text` is
  // then empty, since a body cut short by a broken connection is dropped.
  QString problem;
  // The HTTP status of the answer (200, 404, 503 ...) and its reason phrase
  // as the server wrote it; 0 and empty when no HTTP answer came (no answer
  // at all, or a file:// address).
  int status = 0;
  QString status_text = QString();
  // The answer's header lines as the server sent them; empty when no HTTP
  // answer came.
  FetchHeaders headers = {};
  // How long the server asked to wait before asking again (its Retry-After
  // header, in seconds or as an HTTP date, counted from now; never
  // negative); none when it did not say.
  std::optional<std::chrono::seconds> retry_after = std::nullopt;

  // "HTTP 503 Service Unavailable" for an answer whose status lies outside
  // 2xx, which is not what was asked for; empty otherwise.
  QString ErrorStatus() const;

  // The value of the header `name` (compared without regard to case), or
  // an empty array when the answer has none.
  QByteArray Header(const QByteArray& name) const;
};

// Performs the GET of `url`, given as text and used as it stands.
// Raises RunError kInvalidArgument when the request cannot be made at all
// (an empty or malformed address, a scheme nothing serves, a redirect to
// such an address, a file:// address of something that is no regular file)
// and when the body grows past `limits.body_cap` bytes. A request that
// completes with an HTTP error status, or ends without an answer (refused,
// reset, timed out, a missing file, a redirect that is not followed), is
// not a failure: see FetchResult.
// `headers` are sent with the request as given.
FetchResult XMLHttpGET(const QString& url, const FetchLimits& limits = {},
                       const FetchHeaders& headers = {});

// The wait a Retry-After header's `value` asks for at `now`: whole seconds
// ("120"), or an HTTP date ("Wed, 21 Oct 2026 07:28:00 GMT") less `now`,
// never below 0; none for an empty or unreadable value.
std::optional<std::chrono::seconds> RetryAfterDelay(const QByteArray& value, const QDateTime& now);

// A function that fetches the text at an address, like XMLHttpGET.
using TextFetch = std::function<FetchResult(const QString& url)>;

}  // namespace skyvane

#endif  // SKYVANE_PANEL_FETCH_HTTP_FETCH_H_
