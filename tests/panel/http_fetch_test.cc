// The HTTP text fetch against a server in this process on the loopback
// interface: bodies whatever the status, decoding, the time limit, the
// body cap, broken connections, and addresses that cannot be fetched.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QList>
#include <QStringDecoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>

#include "panel/http_fetch.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

using namespace std::chrono_literals;

// What the server does once it has read a request's head.
enum class Mode {
  kAnswer,          // writes `answer`, then closes
  kHold,            // never answers
  kReset,           // resets the connection without a word
  kAnswerAndReset,  // writes `answer`, then resets the connection
};

// A one-connection-at-a-time HTTP server driven by the test's event loop,
// which keeps running while the fetch waits.
class TestServer {
 public:
  explicit TestServer(Mode mode, QByteArray answer = {}) : mode_(mode), answer_(std::move(answer)) {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { OnData(socket); });
      }
    });
  }

  QString Url(const QString& path_and_query = QStringLiteral("/")) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path_and_query);
  }
  // The head of the last request, as received.
  const QByteArray& Request() const { return request_; }

 private:
  void OnData(QTcpSocket* socket) {
    request_ += socket->readAll();
    if (!request_.contains("\r\n\r\n")) return;
    switch (mode_) {
      case Mode::kHold:
        return;
      case Mode::kAnswer:
        socket->write(answer_);
        socket->disconnectFromHost();
        return;
      case Mode::kAnswerAndReset:
        socket->write(answer_);
        socket->flush();
        Reset(socket);
        return;
      case Mode::kReset:
        Reset(socket);
        return;
    }
  }

  // Closing with a zero linger time sends RST instead of FIN.
  static void Reset(QTcpSocket* socket) {
    const linger hard{1, 0};
    setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
               sizeof hard);
    socket->abort();
  }

  Mode mode_;
  QByteArray answer_;
  QTcpServer server_;
  QByteArray request_;
};

QByteArray Http(const char* status, const QByteArray& body, const QByteArray& headers = {}) {
  return QByteArray("HTTP/1.1 ") + status +
         "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + headers +
         "Connection: close\r\n\r\n" + body;
}

ErrorNumber FetchErrorNumber(const QString& url, const FetchLimits& limits = {}) {
  try {
    XMLHttpGET(url, limits);
  } catch (const RunError& e) {
    return e.Number();
  }
  ADD_FAILURE() << "no error for " << url.toStdString();
  return ErrorNumber::kOverflow;
}

TEST(HttpFetchTest, ReturnsTheBodyOfA200AndSendsTheAddressUnchanged) {
  const QByteArray body = R"({"data":[{"wea":"clear"}]})";
  TestServer server(Mode::kAnswer, Http("200 OK", body, "Content-Type: application/json\r\n"));
  const QString path = QStringLiteral("/api?version=v1&appid=48157302&appsecret=Qw7rZp2K");
  const FetchResult result = XMLHttpGET(server.Url(path));
  EXPECT_EQ(result.text, QString::fromLatin1(body));
  EXPECT_TRUE(result.problem.isEmpty());
  EXPECT_TRUE(server.Request().startsWith("GET " + path.toLatin1() + " HTTP/1.1\r\n"))
      << server.Request().toStdString();
}

TEST(HttpFetchTest, AddsNoHeadersOfItsOwn) {
  TestServer server(Mode::kAnswer, Http("200 OK", "x"));
  XMLHttpGET(server.Url());
  // Only what the HTTP client always sends; no body, no credentials, no
  // cookies, no content type.
  const QList<QByteArray> allowed = {"host", "connection", "accept-encoding", "accept-language",
                                     "user-agent"};
  const QList<QByteArray> lines = server.Request().split('\n');
  ASSERT_GT(lines.size(), 1);
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray line = lines[i].trimmed();
    if (line.isEmpty()) continue;
    const QByteArray name = line.left(line.indexOf(':')).toLower();
    EXPECT_TRUE(allowed.contains(name)) << "unexpected header: " << line.toStdString();
  }
}

TEST(HttpFetchTest, ReturnsTheErrorPageOfA404) {
  const QByteArray page = "<html><body><h1>Not Found</h1></body></html>";
  TestServer server(Mode::kAnswer, Http("404 Not Found", page, "Content-Type: text/html\r\n"));
  const FetchResult result = XMLHttpGET(server.Url(QStringLiteral("/missing")));
  EXPECT_EQ(result.text, QString::fromLatin1(page));
  EXPECT_TRUE(result.problem.isEmpty()) << "an error page is an answer";
}

TEST(HttpFetchTest, ReturnsTheBodyOfA500) {
  TestServer server(Mode::kAnswer, Http("500 Internal Server Error", "oops"));
  EXPECT_EQ(XMLHttpGET(server.Url()).text, QStringLiteral("oops"));
}

TEST(HttpFetchTest, EmptyBodyGivesTheEmptyText) {
  for (const char* status : {"200 OK", "204 No Content", "404 Not Found"}) {
    TestServer server(Mode::kAnswer, Http(status, ""));
    const FetchResult result = XMLHttpGET(server.Url());
    EXPECT_TRUE(result.text.isEmpty()) << status;
    EXPECT_TRUE(result.problem.isEmpty()) << status;
  }
}

TEST(HttpFetchTest, AsciiBytesComeBackAsTheSameCharacters) {
  QByteArray body;
  for (int b = 1; b < 0x80; ++b) body += static_cast<char>(b);
  TestServer server(Mode::kAnswer, Http("200 OK", body));
  const QString text = XMLHttpGET(server.Url()).text;
  ASSERT_EQ(text.size(), body.size());
  for (qsizetype i = 0; i < body.size(); ++i) EXPECT_EQ(text[i].unicode(), body[i]) << i;
}

TEST(HttpFetchTest, HighBytesAreReadInTheLocalCodePageWhateverTheServerDeclares) {
  // "号" in UTF-8, then a lone byte that no UTF-8 text holds, then "é" in
  // Latin-1 as the header claims.
  const QByteArray body = "day \xE5\x8F\xB7 \xFF caf\xE9";
  TestServer server(Mode::kAnswer,
                    Http("200 OK", body, "Content-Type: text/plain; charset=iso-8859-1\r\n"));
  const QString text = XMLHttpGET(server.Url()).text;
  QStringDecoder local(QStringDecoder::System, QStringDecoder::Flag::Stateless);
  const QString expected = local.decode(body);
  EXPECT_EQ(text, expected);
  EXPECT_NE(text, QString::fromLatin1(body)) << "the declared charset must not be used";
}

TEST(HttpFetchTest, ServerThatNeverAnswersEndsAtTheTimeLimitWithNoText) {
  TestServer server(Mode::kHold);
  bool events_ran = false;
  QTimer::singleShot(10ms, [&] { events_ran = true; });
  QElapsedTimer clock;
  clock.start();
  const FetchResult result = XMLHttpGET(server.Url(), FetchLimits{300ms, kFetchBodyCap});
  EXPECT_TRUE(result.text.isEmpty());
  EXPECT_TRUE(result.problem.contains(QStringLiteral("no answer within 0.3 s")))
      << result.problem.toStdString();
  EXPECT_TRUE(events_ran) << "the wait must keep dispatching the thread's events";
  EXPECT_GE(clock.elapsed(), 250);
}

TEST(HttpFetchTest, BodyOverTheCapFails) {
  const QByteArray big(5000, 'x');
  {  // announced by Content-Length
    TestServer server(Mode::kAnswer, Http("200 OK", big));
    EXPECT_EQ(FetchErrorNumber(server.Url(), FetchLimits{5s, 4096}), ErrorNumber::kInvalidArgument);
  }
  {  // found only while reading: no length, the end marked by closing
    TestServer server(Mode::kAnswer, "HTTP/1.0 200 OK\r\n\r\n" + big);
    EXPECT_EQ(FetchErrorNumber(server.Url(), FetchLimits{5s, 4096}), ErrorNumber::kInvalidArgument);
  }
  {  // exactly at the cap is still fine
    TestServer server(Mode::kAnswer, Http("200 OK", big));
    EXPECT_EQ(XMLHttpGET(server.Url(), FetchLimits{5s, 5000}).text.size(), 5000);
  }
}

TEST(HttpFetchTest, ResetConnectionGivesNoTextAndSaysWhy) {
  {
    TestServer server(Mode::kReset);
    const FetchResult result = XMLHttpGET(server.Url());
    EXPECT_TRUE(result.text.isEmpty());
    EXPECT_FALSE(result.problem.isEmpty());
  }
  {  // a body cut short is dropped, not shown half
    TestServer server(Mode::kAnswerAndReset,
                      "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n{\"data\":[");
    const FetchResult result = XMLHttpGET(server.Url());
    EXPECT_TRUE(result.text.isEmpty()) << result.text.toStdString();
    EXPECT_FALSE(result.problem.isEmpty());
  }
}

TEST(HttpFetchTest, RefusedConnectionGivesNoText) {
  quint16 port = 0;
  {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    port = closed.serverPort();
  }
  const FetchResult result = XMLHttpGET(QStringLiteral("http://127.0.0.1:%1/").arg(port));
  EXPECT_TRUE(result.text.isEmpty());
  EXPECT_FALSE(result.problem.isEmpty());
}

TEST(HttpFetchTest, FileAddressesWork) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile file(dir.filePath(QStringLiteral("forecast.json")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("{\"data\":[]}");
  file.close();
  EXPECT_EQ(XMLHttpGET(QUrl::fromLocalFile(file.fileName()).toString()).text,
            QStringLiteral("{\"data\":[]}"));

  const FetchResult missing =
      XMLHttpGET(QUrl::fromLocalFile(dir.filePath(QStringLiteral("none.json"))).toString());
  EXPECT_TRUE(missing.text.isEmpty());
  EXPECT_FALSE(missing.problem.isEmpty());

  EXPECT_EQ(FetchErrorNumber(QUrl::fromLocalFile(file.fileName()).toString(), FetchLimits{5s, 4}),
            ErrorNumber::kInvalidArgument);
}

TEST(HttpFetchTest, AddressesThatCannotBeFetchedRaise) {
  for (const char* url : {"", "no address at all", "gopher://127.0.0.1/x", "ftp://127.0.0.1/x",
                          "http://[::1/broken"}) {
    EXPECT_EQ(FetchErrorNumber(QString::fromUtf8(url)), ErrorNumber::kInvalidArgument) << url;
  }
}

}  // namespace
}  // namespace skyvane
