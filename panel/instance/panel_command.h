// What a second start of the program asks of the panel that already runs,
// and its form on the panel's local socket: one line of JSON text (UTF-8,
// ending in a line feed) such as
//   {"resetPosition":true,"url":"http://example.org/forecast"}
// that only carries the members that are set.
#ifndef SKYVANE_PANEL_INSTANCE_PANEL_COMMAND_H_
#define SKYVANE_PANEL_INSTANCE_PANEL_COMMAND_H_

#include <QByteArray>
#include <QString>
#include <optional>

namespace skyvane {

// A request larger than this is no request of ours.
inline constexpr qsizetype kMaxCommandBytes = 64 * 1024;

struct PanelCommand {
  // Only tell the status; everything else is ignored.
  bool status = false;
  // End the panel; everything else is ignored.
  bool quit = false;
  // Fetch the forecast now.
  bool refresh = false;
  // Move the panel to its default place and forget the saved one.
  bool reset_position = false;
  // Options applied as if the panel had been started with them; each makes
  // a refresh follow at once.
  std::optional<QString> url;          // --url
  std::optional<QString> location;     // --location, as given
  std::optional<int> refresh_minutes;  // --refresh-minutes
  std::optional<QString> source;       // --source, as given
  std::optional<QString> units;        // --units: "celsius", "fahrenheit" or ""

  // True when an option is to be applied.
  bool AppliesOptions() const { return url || location || refresh_minutes || source || units; }

  friend bool operator==(const PanelCommand&, const PanelCommand&) = default;
};

// The command as one line of JSON text with its line feed.
QByteArray EncodeCommand(const PanelCommand& command);

// The command in `line` (with or without its line feed). Returns nothing
// when the line is no JSON object of this form (a member of the wrong kind,
// a refreshMinutes that is no whole number from 0 to kMaxRefreshMinutes);
// `*problem`, when given, then says why. Unknown members are ignored, so
// that an older panel understands what a newer program asks as far as it
// can.
std::optional<PanelCommand> DecodeCommand(const QByteArray& line, QString* problem = nullptr);

// The longest interval --refresh-minutes takes: one week.
inline constexpr int kMaxRefreshMinutes = 7 * 24 * 60;

}  // namespace skyvane

#endif  // SKYVANE_PANEL_INSTANCE_PANEL_COMMAND_H_
