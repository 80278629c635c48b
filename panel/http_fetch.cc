#include "panel/http_fetch.h"

#include <QByteArray>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <string>

#include "text/run_error.h"

namespace skyvane {

namespace {

// Errors after which no complete answer exists: the connection failed or
// broke off, a proxy failed, or the reply could not be read as HTTP. Every
// other error code stands for an HTTP status, and the body of that answer
// is returned like any other.
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

}  // namespace

FetchResult XMLHttpGET(const QString& url, const FetchLimits& limits) {
  const QUrl address(url);
  if (url.isEmpty() || !address.isValid() || address.scheme().isEmpty()) {
    Fail(QStringLiteral("not a usable address: \"%1\"").arg(url));
  }
  QNetworkAccessManager manager;
  if (!manager.supportedSchemes().contains(address.scheme(), Qt::CaseInsensitive)) {
    Fail(QStringLiteral("no client for \"%1:\" addresses").arg(address.scheme()));
  }

  std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(address)));
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
    const QByteArray chunk = reply->readAll();
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
  if (error == QNetworkReply::ProtocolUnknownError) {
    Fail(QStringLiteral("no client for \"%1\"").arg(url));
  }
  // An HTTP status means an answer came, error page or not; without one
  // (refused, reset, a missing file) there is no answer to return.
  const bool has_status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
  if (error != QNetworkReply::NoError && (!has_status || IsTransportError(error))) {
    return FetchResult{QString(), reply->errorString()};
  }
  take_body();
  if (over_cap) FailOverCap(limits.body_cap);
  return FetchResult{QString::fromLocal8Bit(body), QString()};
}

}  // namespace skyvane
