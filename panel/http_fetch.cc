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

std::string SecondsText(std::chrono::milliseconds limit) {
  const double seconds = std::chrono::duration<double>(limit).count();
  return QString::number(seconds, 'g', 6).toStdString() + " s";
}

}  // namespace

FetchResult HttpGetText(const QString& url, const FetchLimits& limits) {
  const QUrl address(url);
  if (url.isEmpty() || !address.isValid() || address.scheme().isEmpty()) {
    Raise(ErrorNumber::kInvalidArgument, "not a usable address: \"" + url.toStdString() + "\"");
  }
  QNetworkAccessManager manager;
  if (!manager.supportedSchemes().contains(address.scheme(), Qt::CaseInsensitive)) {
    Raise(ErrorNumber::kInvalidArgument,
          "no client for \"" + address.scheme().toStdString() + ":\" addresses");
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

  if (!over_cap && !timed_out && reply->error() == QNetworkReply::ProtocolUnknownError) {
    Raise(ErrorNumber::kInvalidArgument, "no client for \"" + url.toStdString() + "\"");
  }
  if (timed_out) {
    return FetchResult{
        QString(), QString::fromStdString("no answer within " + SecondsText(limits.time_limit))};
  }
  // An HTTP status means an answer came, error page or not; without one
  // (refused, reset, a missing file) there is no answer to return.
  const bool has_status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
  const QNetworkReply::NetworkError error = reply->error();
  if (!over_cap && error != QNetworkReply::NoError && (!has_status || IsTransportError(error))) {
    return FetchResult{QString(), reply->errorString()};
  }
  if (!over_cap) take_body();
  if (over_cap) {
    Raise(ErrorNumber::kInvalidArgument,
          "the answer is larger than " + std::to_string(limits.body_cap) + " bytes");
  }
  return FetchResult{QString::fromLocal8Bit(body), QString()};
}

}  // namespace skyvane
