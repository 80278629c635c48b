#include "panel/instance/start_hand_over.h"

#include <cstdio>

#include "panel/texts/terminal_text.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

// How a panel's answer begins when it refused the command.
constexpr char kErrorAnswer[] = "{\"error\":";

// The panel's answer on standard output, for --status. The panel writes its
// texts escaped already; whatever else is listening at its socket may not.
int PrintAnswer(const QByteArray& reply) {
  std::printf("%s\n", EscapeControls(QString::fromUtf8(reply)).toUtf8().constData());
  return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace

void ReportLine(const QString& line) {
  std::fprintf(stderr, "skyvane: %s\n", line.toLocal8Bit().constData());
  std::fflush(stderr);
}

std::optional<int> HandOverOrClaim(const PanelCommand& command, InstanceChannel* channel) {
  // A start that found no panel and then lost the race to claim the
  // display to another start tries that one; more than that is no race.
  constexpr int kAttempts = 3;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const HandOverResult handed = HandOver(channel->SocketPath(), command, kHandOverLimit);
    if (handed.outcome == HandOverResult::kAnswered) {
      if (handed.reply.startsWith(kErrorAnswer)) {
        ReportLine(QStringLiteral("the running panel refused the command: %1")
                       .arg(EscapeControls(QString::fromUtf8(handed.reply))));
        return kExitFailure;
      }
      return command.status ? PrintAnswer(handed.reply) : kExitSuccess;
    }
    if (handed.outcome == HandOverResult::kNoAnswer) {
      ReportLine(QStringLiteral("the panel that runs on this display does not answer at %1")
                     .arg(channel->SocketPath()));
      return kExitFailure;
    }
    if (command.status || command.quit) {
      ReportLine(QStringLiteral("no panel runs on this display"));
      return kExitFailure;
    }
    try {
      if (channel->Listen() == InstanceChannel::Claim::kListening) return std::nullopt;
    } catch (const RunError& error) {
      ReportLine(QStringLiteral("%1; later starts will open panels of their own")
                     .arg(QString::fromStdString(error.what())));
      return std::nullopt;
    }
  }
  ReportLine(QStringLiteral("another start keeps claiming the display; giving up"));
  return kExitFailure;
}

}  // namespace skyvane
