// One panel per user and display: the running panel listens on a local
// socket (instance_address.h), and a later start hands its command over
// there instead of opening a second panel.
//
// The exchange is one line each way: the start writes its PanelCommand
// (panel_command.h), the panel answers at once with its status as one line
// of JSON (StatusJson), or with {"error":"..."} for a line it cannot read,
// and closes the connection. Only then does it act on the command, so a
// start never waits for a refresh.
//
// Usage, in the program:
//
//   InstanceChannel channel(PanelSocketPath(display));
//   const HandOverResult handed = HandOver(channel.SocketPath(), command, limit);
//   if (handed.outcome == HandOverResult::kAnswered) return 0;   // another panel took it
//   if (channel.Listen() == InstanceChannel::Claim::kAnotherPanel) ... hand over again
//   connect(&channel, &InstanceChannel::commandReceived, ...);
#ifndef SKYVANE_PANEL_INSTANCE_INSTANCE_CHANNEL_H_
#define SKYVANE_PANEL_INSTANCE_INSTANCE_CHANNEL_H_

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <chrono>

#include "panel/instance/panel_command.h"
#include "panel/instance/panel_status.h"

class QLocalSocket;

namespace skyvane {

// A connection that has not sent its whole command by then is dropped.
inline constexpr std::chrono::milliseconds kCommandTimeLimit{5'000};
// How long a start waits for another start that is taking the socket over.
inline constexpr std::chrono::milliseconds kClaimLockWait{5'000};

class InstanceChannel : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    kListening,     // this program is the panel now
    kAnotherPanel,  // a panel answers at the socket; hand the command over
  };

  explicit InstanceChannel(QString socket_path, QObject* parent = nullptr);
  // Stops listening and removes the socket.
  ~InstanceChannel() override;

  const QString& SocketPath() const { return socket_path_; }

  // Listens at the socket, unless a panel answers there. A socket that no
  // panel answers (left by one that crashed or was killed) is taken over.
  // Starts at the same moment are kept apart by a lock file beside the
  // socket (SOCKET.lock), held only while this runs. Raises RunError
  // kInvalidArgument when the lock cannot be had within kClaimLockWait or
  // the socket cannot be listened on.
  Claim Listen();

  // The status that every request is answered with from now on.
  void SetStatus(const PanelStatus& status);

 signals:
  // A later start's command, other than a request for the status; emitted
  // from the event loop after the start has had its answer.
  void commandReceived(const skyvane::PanelCommand& command);

 private:
  void Accept();
  void Read(QLocalSocket* socket);

  QString socket_path_;
  QLocalServer server_;
  QByteArray status_line_;
};

struct HandOverResult {
  enum Outcome {
    kAnswered,  // a panel took the command; `reply` holds its answer
    kNoPanel,   // no panel listens at the socket
    kNoAnswer,  // something listens but did not answer in time
  };
  Outcome outcome = kNoPanel;
  // The answer line without its line feed.
  QByteArray reply;
};

// Hands `command` to the panel at `socket_path` and waits at most `limit`
// for its answer.
HandOverResult HandOver(const QString& socket_path, const PanelCommand& command,
                        std::chrono::milliseconds limit);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_INSTANCE_INSTANCE_CHANNEL_H_
