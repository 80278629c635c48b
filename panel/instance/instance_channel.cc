#include "panel/instance/instance_channel.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>
#include <string>
#include <utility>

#include "json/json_writer.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

// How long Listen waits to see whether a panel answers at the socket. A
// panel's socket accepts at once; only a full backlog makes it wait.
constexpr std::chrono::milliseconds kAnswerCheck{500};
constexpr char kLockSuffix[] = ".lock";

[[noreturn]] void Fail(const QString& description) {
  Raise(ErrorNumber::kInvalidArgument, description.toStdString());
}

QByteArray ErrorLine(const QString& problem) {
  std::string line = "{\"error\":";
  AppendJsonString(problem.toStdU16String(), line);
  line += "}\n";
  return QByteArray::fromStdString(line);
}

// True when something accepts connections at `socket_path`.
bool Answers(const QString& socket_path) {
  QLocalSocket probe;
  probe.connectToServer(socket_path);
  const bool connected = probe.waitForConnected(static_cast<int>(kAnswerCheck.count()));
  probe.abort();
  return connected;
}

}  // namespace

InstanceChannel::InstanceChannel(QString socket_path, QObject* parent)
    : QObject(parent),
      socket_path_(std::move(socket_path)),
      status_line_(QByteArray::fromStdString(StatusJson(PanelStatus{})) + '\n') {
  connect(&server_, &QLocalServer::newConnection, this, &InstanceChannel::Accept);
}

InstanceChannel::~InstanceChannel() {
  server_.close();
}

InstanceChannel::Claim InstanceChannel::Listen() {
  QLockFile lock(socket_path_ + QLatin1String(kLockSuffix));
  if (!lock.tryLock(static_cast<int>(kClaimLockWait.count()))) {
    Fail(QStringLiteral("cannot lock %1 to claim the panel's socket").arg(lock.fileName()));
  }
  if (Answers(socket_path_)) return Claim::kAnotherPanel;
  QLocalServer::removeServer(socket_path_);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(socket_path_)) {
    Fail(QStringLiteral("cannot listen at %1: %2").arg(socket_path_, server_.errorString()));
  }
  return Claim::kListening;
}

void InstanceChannel::SetStatus(const PanelStatus& status) {
  status_line_ = QByteArray::fromStdString(StatusJson(status)) + '\n';
}

void InstanceChannel::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
    QTimer::singleShot(kCommandTimeLimit, socket, [socket] { socket->abort(); });
    if (socket->bytesAvailable() > 0) Read(socket);
  }
}

void InstanceChannel::Read(QLocalSocket* socket) {
  if (!socket->canReadLine()) {
    if (socket->bytesAvailable() > kMaxCommandBytes) socket->abort();
    return;
  }
  const QByteArray line = socket->readLine(kMaxCommandBytes + 1);
  QString problem;
  const std::optional<PanelCommand> command = DecodeCommand(line, &problem);
  socket->write(command ? status_line_ : ErrorLine(problem));
  socket->disconnectFromServer();
  if (!command || command->status) return;
  QTimer::singleShot(0, this, [this, acted = *command] { emit commandReceived(acted); });
}

HandOverResult HandOver(const QString& socket_path, const PanelCommand& command,
                        std::chrono::milliseconds limit) {
  const QDeadlineTimer deadline(limit);
  QLocalSocket socket;
  socket.connectToServer(socket_path);
  if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
    const QLocalSocket::LocalSocketError error = socket.error();
    const bool nobody =
        error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError;
    return {nobody ? HandOverResult::kNoPanel : HandOverResult::kNoAnswer, {}};
  }
  socket.write(EncodeCommand(command));
  QByteArray reply;
  while (!reply.endsWith('\n')) {
    if (socket.bytesAvailable() == 0 &&
        !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
      // A panel closes the connection right after its answer; what came
      // before that is the answer.
      reply += socket.readAll();
      break;
    }
    reply += socket.readAll();
    if (reply.size() > kMaxCommandBytes) break;
  }
  if (!reply.endsWith('\n')) return {HandOverResult::kNoAnswer, {}};
  reply.chop(1);
  return {HandOverResult::kAnswered, reply};
}

}  // namespace skyvane
