// The HTTP text fetch against a server in this process on the loopback
// interface: bodies whatever the status, decoding, the time limit, the
// body cap and the memory it bounds, broken connections, redirects, local
// files, and addresses that cannot be fetched.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

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
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "panel/fetch/http_fetch.h"
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

// The failure XMLHttpGET raises for `url`; a test failure when it raises
// none.
RunError FetchFailure(const QString& url, const FetchLimits& limits = {}) {
  try {
    XMLHttpGET(url, limits);
  } catch (const RunError& e) {
    return e;
  }
  ADD_FAILURE() << "no error for " << url.toStdString();
  return RunError(ErrorNumber::kOverflow, "no error");
}

ErrorNumber FetchErrorNumber(const QString& url, const FetchLimits& limits = {}) {
  return FetchFailure(url, limits).Number();
}

// The most memory this process has held so far.
int64_t PeakRssBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  constexpr int64_t kBytesPerKilobyte = 1024;
  return int64_t{usage.ru_maxrss} * kBytesPerKilobyte;
}

// What a fetch may add to the process's peak memory whatever the server
// sends: the body cap, Qt's read buffer and what one buffer of packed data
// unpacks to, with room to spare.
constexpr int64_t kFetchMemoryBound = int64_t{100} * 1024 * 1024;

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

// A server on a thread of its own that answers one connection with `head`
// and then `block` again and again until the client goes away. It never
// waits for the test's event loop, so nothing but the client slows it down.
class StreamingServer {
 public:
  StreamingServer(std::string head, std::string block) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), size), 0);
    EXPECT_EQ(::listen(listener_, 1), 0);
    EXPECT_EQ(::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size), 0);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread(
        [this, head = std::move(head), block = std::move(block)] { Serve(head, block); });
  }
  ~StreamingServer() {
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);  // ends a pending accept
    thread_.join();
    ::close(listener_);
  }
  StreamingServer(const StreamingServer&) = delete;
  StreamingServer& operator=(const StreamingServer&) = delete;

  QString Url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }
  int64_t Sent() const { return sent_; }

 private:
  void Serve(const std::string& head, const std::string& block) {
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) return;
    // Sends give up now and then, so that the server notices stop_.
    const timeval wait{1, 0};
    ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
    }
    if (SendAll(client, head)) {
      while (SendAll(client, block)) {
      }
    }
    ::close(client);
  }

  // False once the client is gone or the server is told to stop.
  bool SendAll(int client, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
      if (stop_) return false;
      const ssize_t sent = ::send(client, data.data() + done, data.size() - done, MSG_NOSIGNAL);
      if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
      if (sent <= 0) return false;
      done += static_cast<std::size_t>(sent);
      sent_ += sent;
    }
    return true;
  }

  int listener_ = -1;
  quint16 port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int64_t> sent_{0};
  std::thread thread_;
};

constexpr std::size_t kStreamBlockBytes = 64 * 1024;

std::string ChunkOf(const std::string& data) {
  char size[32];
  std::snprintf(size, sizeof size, "%zx\r\n", data.size());
  return size + data + "\r\n";
}

// Qt once buffered a chunked body as fast as the server sent it, whatever
// the fetch had taken: gigabytes before the cap was ever checked.
TEST(HttpFetchTest, EndlessBodiesFailAtTheCapWithinBoundedMemory) {
  const std::string data(kStreamBlockBytes, '[');
  const struct {
    const char* name;
    std::string head;
    std::string block;
  } cases[] = {
      {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", ChunkOf(data)},
      {"neither length nor chunks", "HTTP/1.0 200 OK\r\n\r\n", data},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StreamingServer server(c.head, c.block);
    const int64_t peak_before = PeakRssBytes();
    const RunError failure = FetchFailure(server.Url(), FetchLimits{20s, kFetchBodyCap});
    EXPECT_EQ(failure.Number(), ErrorNumber::kInvalidArgument);
    EXPECT_TRUE(QString::fromUtf8(failure.what()).contains(QStringLiteral("larger than")))
        << failure.what();
    EXPECT_LT(PeakRssBytes() - peak_before, kFetchMemoryBound);
    EXPECT_GT(server.Sent(), kFetchBodyCap);
  }
}

TEST(HttpFetchTest, BodyExactlyAtTheCapIsReadWholeThroughTheSmallBuffer) {
  const QByteArray big(static_cast<qsizetype>(kFetchReadBufferBytes * 5 + 7), 'x');
  {
    TestServer server(Mode::kAnswer, "HTTP/1.0 200 OK\r\n\r\n" + big);
    EXPECT_EQ(XMLHttpGET(server.Url(), FetchLimits{5s, big.size()}).text.size(), big.size());
  }
  {
    TestServer server(Mode::kAnswer, "HTTP/1.0 200 OK\r\n\r\n" + big);
    EXPECT_EQ(FetchErrorNumber(server.Url(), FetchLimits{5s, big.size() - 1}),
              ErrorNumber::kInvalidArgument);
  }
}

// Each status at the edges of Qt's classes of errors is an answer whose
// body comes back, together with the status.
TEST(HttpFetchTest, EveryStatusIsAnAnswerWithItsBody) {
  const struct {
    int status;
    const char* line;
  } cases[] = {
      {200, "200 OK"},
      {401, "401 Unauthorized"},
      {403, "403 Forbidden"},
      {404, "404 Not Found"},
      {499, "499 Client Closed Request"},
      {500, "500 Internal Server Error"},
      {503, "503 Service Unavailable"},
      {599, "599 Network Connect Timeout Error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const QByteArray body = "page of " + QByteArray(c.line);
    TestServer server(Mode::kAnswer, Http(c.line, body));
    const FetchResult result = XMLHttpGET(server.Url());
    EXPECT_EQ(result.text, QString::fromLatin1(body));
    EXPECT_TRUE(result.problem.isEmpty()) << result.problem.toStdString();
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.status_text, QString::fromLatin1(c.line).section(u' ', 1));
  }
}

// A body that Qt cannot unpack is no answer, although its status was good.
TEST(HttpFetchTest, BodyThatCannotBeUnpackedGivesNoText) {
  TestServer server(Mode::kAnswer,
                    Http("200 OK", "this is not gzip at all", "Content-Encoding: gzip\r\n"));
  const FetchResult result = XMLHttpGET(server.Url());
  EXPECT_TRUE(result.text.isEmpty()) << result.text.toStdString();
  EXPECT_FALSE(result.problem.isEmpty());
}

TEST(HttpFetchTest, RedirectsThatAreNotFollowedAreNamed) {
  {
    TestServer server(Mode::kAnswer,
                      Http("302 Found", "", "Location: gopher://127.0.0.1/forecast\r\n"));
    const RunError failure = FetchFailure(server.Url());
    EXPECT_EQ(failure.Number(), ErrorNumber::kInvalidArgument);
    EXPECT_EQ(std::string(failure.what()),
              "the server redirected to \"gopher://127.0.0.1/forecast\", which is not followed");
  }
  {  // back to itself, for ever
    TestServer server(Mode::kAnswer, Http("302 Found", "", "Location: /again\r\n"));
    const FetchResult result = XMLHttpGET(server.Url());
    EXPECT_TRUE(result.text.isEmpty());
    EXPECT_TRUE(result.problem.contains(QStringLiteral("redirected to \"") + server.Url() +
                                        QStringLiteral("again\"")))
        << result.problem.toStdString();
  }
}

// Only regular files are read: a FIFO would block the panel until some
// program wrote to it, a device might never end.
TEST(HttpFetchTest, FileThatIsNoRegularFileIsRefusedWithoutWaiting) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString fifo = dir.filePath(QStringLiteral("forecast.fifo"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  for (const QString& path : {fifo, dir.path(), QStringLiteral("/dev/null")}) {
    SCOPED_TRACE(path.toStdString());
    // Should the fetch wait for a writer to the FIFO, one comes after a
    // while, so that the test ends either way.
    std::atomic<bool> done{false};
    std::thread writer([&] {
      const auto deadline = std::chrono::steady_clock::now() + 2s;
      while (!done && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
      if (done || path != fifo) return;
      const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0) return;
      const char forecast[] = "{\"data\":[]}";
      EXPECT_GT(::write(fd, forecast, sizeof forecast - 1), 0);
      ::close(fd);
    });
    const RunError failure = FetchFailure(QUrl::fromLocalFile(path).toString());
    done = true;
    writer.join();
    EXPECT_EQ(failure.Number(), ErrorNumber::kInvalidArgument);
    EXPECT_TRUE(QString::fromUtf8(failure.what()).contains(QStringLiteral("not a regular file")))
        << failure.what();
  }
}

TEST(HttpFetchTest, FileOverTheCapIsRefusedBeforeItIsRead) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile file(dir.filePath(QStringLiteral("huge.json")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  // Sparse: three gigabytes of zeros that take no room on the disk.
  constexpr qint64 kHugeBytes = qint64{3} << 30;
  ASSERT_TRUE(file.resize(kHugeBytes));
  file.close();
  const int64_t peak_before = PeakRssBytes();
  EXPECT_EQ(FetchErrorNumber(QUrl::fromLocalFile(file.fileName()).toString()),
            ErrorNumber::kInvalidArgument);
  EXPECT_LT(PeakRssBytes() - peak_before, kFetchMemoryBound);
}

}  // namespace
}  // namespace skyvane
