#include "panel/fetch/http_fetch.h"

#include <QByteArray>
#include <QEventLoop>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <memory>
#include <string>

#include "panel/fetch/local_file.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

constexpr int kFirstSuccessStatus = 200;
constexpr int kLastSuccessStatus = 299;
constexpr int kFirstRedirectStatus = 300;
constexpr int kLastRedirectStatus = 399;
constexpr char kLocationHeader[] = "Location";
constexpr char kRetryAfterHeader[] = "Retry-After";
// A longer wish than a day is taken as a day.
constexpr std::chrono::seconds kLongestRetryAfter{24 * 60 * 60};
// Statuses from here on are errors (4xx, 5xx) that Qt reports as such.
constexpr int kFirstHttpErrorStatus = 400;
// For QNetworkRequest::setDecompressedSafetyCheckThreshold: no check.
constexpr qint64 kNoDecompressionCheck = -1;

// Errors after which no complete answer exists: the connection failed or
// broke off, a proxy failed, or the reply could not be read as HTTP. The
// other error codes stand for an HTTP error status, whose page is returned
// like any other body, except where Qt reports with them a body that broke
// after a good status (see XMLHttpGET).
bool IsTransportError(QNetworkReply::NetworkError error) {
  const int code = static_cast<int>(error);
  constexpr int kFirstContentError = QNetworkReply::ContentAccessDenied;
  return (code > QNetworkReply::NoError && code < kFirstContentError) ||
         error == QNetworkReply::ProtocolFailure;
}

QString SecondsText(std::chrono::milliseconds limit) {
  const double seconds = std::chrono::duration<double>(limit).count();
  return QString::number(seconds, 'g', 6) + QStringLiteral(" s");
}

[[noreturn]] void Fail(const QString& description) {
  Raise(ErrorNumber::kInvalidArgument, description.toStdString());
}

[[noreturn]] void FailOverCap(int64_t cap) {
  Fail(QStringLiteral("the answer is larger than %1 bytes").arg(cap));
}

// A file:// address: read here rather than by Qt, which would read any file
// whole and block on a FIFO inside get(), out of reach of both limits.
FetchResult FetchLocalFile(const QUrl& address, const FetchLimits& limits) {
  const LocalFileRead file = ReadLocalFile(address.toLocalFile(), limits.body_cap);
  switch (file.outcome) {
    case LocalFileRead::Outcome::kRead:
      return FetchResult{QString::fromLocal8Bit(file.bytes), QString()};
    case LocalFileRead::Outcome::kTooLarge:
      FailOverCap(limits.body_cap);
    case LocalFileRead::Outcome::kNotRegular:
      Fail(file.problem);
    case LocalFileRead::Outcome::kMissing:
    case LocalFileRead::Outcome::kUnreadable:
      break;
  }
  return FetchResult{QString(), file.problem};
}

// When the answer is a redirect that was not followed (to an address of
// another scheme, or one too many), where it pointed; otherwise empty.
QString UnfollowedRedirect(const QNetworkReply& reply, int status) {
  if (status < kFirstRedirectStatus || status > kLastRedirectStatus) return QString();
  const QByteArray location = reply.rawHeader(kLocationHeader);
  if (location.isEmpty()) return QString();
  return reply.url().resolved(QUrl::fromEncoded(location)).toString();
}

}  // namespace

QString FetchResult::ErrorStatus() const {
  if (status == 0 || (status >= kFirstSuccessStatus && status <= kLastSuccessStatus)) {
    return QString();
  }
  return QStringLiteral("HTTP %1").arg(status) +
         (status_text.isEmpty() ? QString() : u' ' + status_text);
}

QByteArray FetchResult::Header(const QByteArray& name) const {
  for (const auto& [key, value] : headers) {
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  }
  return QByteArray();
}

FetchResult XMLHttpGET(const QString& url, const FetchLimits& limits, const FetchHeaders& headers) {
  const QUrl address(url);
  if (url.isEmpty() || !address.isValid() || address.scheme().isEmpty()) {
    Fail(QStringLiteral("not a usable address: \"%1\"").arg(url));
  }
  if (address.isLocalFile()) return FetchLocalFile(address, limits);
  QNetworkAccessManager manager;
  if (!manager.supportedSchemes().contains(address.scheme(), Qt::CaseInsensitive)) {
    Fail(QStringLiteral("no client for \"%1:\" addresses").arg(address.scheme()));
  }

  QNetworkRequest request(address);
  // The body cap bounds what a compressed body may unpack to. Qt's own
  // check of the packing ratio is switched off: with a bounded read buffer
  // it stalls the reply instead of failing it.
  request.setDecompressedSafetyCheckThreshold(kNoDecompressionCheck);
  for (const auto& [name, value] : headers) request.setRawHeader(name, value);
  std::unique_ptr<QNetworkReply> reply(manager.get(request));
  // Without a bound Qt reads the network as fast as it can deliver, however
  // slowly the body is taken here.
  reply->setReadBufferSize(kFetchReadBufferBytes);
  QEventLoop loop;
  QTimer timer;
  QByteArray body;
  bool over_cap = false;
  bool timed_out = false;

  const auto give_up = [&](bool& flag) {
    flag = true;
    reply->abort();
  };
  const auto take_body = [&] {
    // One byte past the cap is enough to know the body is too large.
    const int64_t room = limits.body_cap - body.size() + 1;
    const QByteArray chunk = reply->read(qMin(reply->bytesAvailable(), room));
    if (body.size() + chunk.size() > limits.body_cap) {
      give_up(over_cap);
      return;
    }
    body.append(chunk);
  };
  QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > limits.body_cap) give_up(over_cap);
  });
  QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, take_body);
  QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] { give_up(timed_out); });
  timer.setSingleShot(true);
  timer.start(limits.time_limit);
  if (!reply->isFinished()) loop.exec();
  timer.stop();

  if (over_cap) FailOverCap(limits.body_cap);
  if (timed_out) {
    return FetchResult{QString(),
                       QStringLiteral("no answer within %1").arg(SecondsText(limits.time_limit))};
  }
  const QNetworkReply::NetworkError error = reply->error();
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const QString redirect = UnfollowedRedirect(*reply, status);
  if (error == QNetworkReply::ProtocolUnknownError) {
    if (!redirect.isEmpty()) {
      Fail(QStringLiteral("the server redirected to \"%1\", which is not followed").arg(redirect));
    }
    Fail(QStringLiteral("no client for \"%1\"").arg(url));
  }
  // An HTTP error status means an answer came, an error page. Any other
  // error leaves no whole answer to return: no status at all (refused,
  // reset), or a body that broke after a good status (cut off, or it could
  // not be unpacked).
  const bool error_page = status >= kFirstHttpErrorStatus && !IsTransportError(error);
  if (error != QNetworkReply::NoError && !error_page) {
    QString problem = reply->errorString();
    if (!redirect.isEmpty()) {
      problem += QStringLiteral(" (the server redirected to \"%1\")").arg(redirect);
    } else if (reply->url() != address) {
      problem +=
          QStringLiteral(" (at \"%1\", where the server redirected)").arg(reply->url().toString());
    }
    return FetchResult{QString(), problem};
  }
  take_body();
  if (over_cap) FailOverCap(limits.body_cap);
  FetchHeaders received;
  for (const QNetworkReply::RawHeaderPair& pair : reply->rawHeaderPairs()) {
    received.emplace_back(pair.first, pair.second);
  }
  return FetchResult{
      QString::fromLocal8Bit(body),
      QString(),
      status,
      reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString(),
      std::move(received),
      RetryAfterDelay(reply->rawHeader(kRetryAfterHeader), QDateTime::currentDateTimeUtc())};
}

std::optional<std::chrono::seconds> RetryAfterDelay(const QByteArray& value, const QDateTime& now) {
  const QByteArray trimmed = value.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  bool number = false;
  const qlonglong seconds = trimmed.toLongLong(&number);
  if (number) {
    if (seconds < 0) return std::nullopt;
    return std::min(std::chrono::seconds(seconds), kLongestRetryAfter);
  }
  // IMF-fixdate, the form HTTP dates are sent in.
  const QDateTime read = QLocale::c().toDateTime(QString::fromLatin1(trimmed),
                                                 QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
  if (!read.isValid()) return std::nullopt;
  const QDateTime at(read.date(), read.time(), Qt::UTC);
  const qint64 wait = std::clamp(now.secsTo(at), qint64{0}, qint64{kLongestRetryAfter.count()});
  return std::chrono::seconds(wait);
}

}  // namespace skyvane
