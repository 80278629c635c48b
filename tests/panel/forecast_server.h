// A loopback HTTP server in the test's own event loop that answers every
// GET with the body it holds at the time, counts the requests, and can run
// a hook of the test's while the panel waits for the answer (the panel's
// fetch keeps the event loop going, as it does for every other event).
#ifndef SKYVANE_TESTS_PANEL_FORECAST_SERVER_H_
#define SKYVANE_TESTS_PANEL_FORECAST_SERVER_H_

#include <gtest/gtest.h>

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <utility>

namespace skyvane {

class ForecastServer {
 public:
  ForecastServer() {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { Answer(socket); });
      }
    });
  }

  QString Url() const {
    return QStringLiteral("http://127.0.0.1:%1/api").arg(server_.serverPort());
  }

  // The body of every later answer, sent with status 200.
  void SetBody(QByteArray body) { body_ = std::move(body); }
  // Runs on each request, before its answer.
  void OnRequest(std::function<void()> hook) { hook_ = std::move(hook); }
  int Requests() const { return requests_; }

 private:
  void Answer(QTcpSocket* socket) {
    head_ += socket->readAll();
    if (!head_.contains("\r\n\r\n")) return;
    head_.clear();
    ++requests_;
    // A copy, so that the hook may replace itself.
    if (const std::function<void()> hook = hook_) hook();
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                  QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_);
    socket->disconnectFromHost();
  }

  QTcpServer server_;
  QByteArray head_;
  QByteArray body_;
  std::function<void()> hook_;
  int requests_ = 0;
};

}  // namespace skyvane

#endif  // SKYVANE_TESTS_PANEL_FORECAST_SERVER_H_
