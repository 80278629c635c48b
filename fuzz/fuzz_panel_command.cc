// Fuzzes the one-line commands a later start sends over the local socket.
// Any line must decode or be refused with a reason; a decoded command must
// encode to one line that decodes to itself; and a command built from the
// input must decode to itself after encoding.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "panel/instance/panel_command.h"

namespace {

void CheckRoundTrip(const skyvane::PanelCommand& command) {
  const QByteArray line = skyvane::EncodeCommand(command);
  if (!line.endsWith('\n') || line.count('\n') != 1) std::abort();
  const std::optional<skyvane::PanelCommand> back = skyvane::DecodeCommand(line);
  if (!back || !(*back == command)) std::abort();
}

// A command from the input: a byte of flags, two bytes of minutes, then the
// address and the place, parted by a NUL byte.
skyvane::PanelCommand CommandFrom(const QByteArray& input) {
  skyvane::PanelCommand command;
  if (input.size() < 3) return command;
  const auto flags = static_cast<unsigned char>(input[0]);
  command.status = (flags & 1) != 0;
  command.quit = (flags & 2) != 0;
  command.refresh = (flags & 4) != 0;
  command.reset_position = (flags & 8) != 0;
  const int minutes =
      static_cast<unsigned char>(input[1]) << 8 | static_cast<unsigned char>(input[2]);
  if ((flags & 16) != 0) command.refresh_minutes = minutes % (skyvane::kMaxRefreshMinutes + 1);
  const QByteArray rest = input.mid(3);
  const qsizetype nul = rest.indexOf('\0');
  if ((flags & 32) != 0) command.url = QString::fromUtf8(nul < 0 ? rest : rest.left(nul));
  if ((flags & 64) != 0)
    command.location = QString::fromUtf8(nul < 0 ? QByteArray() : rest.mid(nul + 1));
  return command;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QString problem;
  const std::optional<skyvane::PanelCommand> decoded = skyvane::DecodeCommand(input, &problem);
  if (decoded) {
    CheckRoundTrip(*decoded);
  } else if (problem.isEmpty()) {
    std::abort();
  }
  CheckRoundTrip(CommandFrom(input));
  return 0;
}
