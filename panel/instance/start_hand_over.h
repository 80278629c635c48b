// A start's first step: hand its command to the panel that already runs on
// the display, or become that panel.
//
// A start that finds a panel hands it the command and is done; one that
// finds none claims the display's socket and goes on to show the panel.
// Problems are reported in one line each on standard error.
#ifndef SKYVANE_PANEL_INSTANCE_START_HAND_OVER_H_
#define SKYVANE_PANEL_INSTANCE_START_HAND_OVER_H_

#include <chrono>
#include <optional>

#include "panel/instance/instance_channel.h"
#include "panel/instance/panel_command.h"

namespace skyvane {

// How long a later start waits for the running panel's answer; a panel
// answers in milliseconds, since its fetches keep its event loop going.
inline constexpr std::chrono::milliseconds kHandOverLimit{5'000};

// The exit statuses a start ends with.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Hands `command` to a panel that runs at `channel`'s socket, claiming the
// socket when none does. Returns the exit status when this start is done
// (another panel took the command and, for --status, its answer was printed
// on standard output; or there is none to ask), nothing when this program
// is to be the panel (`channel` then listens, unless the socket could not
// be had, which is reported). `channel` must not be null.
std::optional<int> HandOverOrClaim(const PanelCommand& command, InstanceChannel* channel);

// Writes "skyvane: " and `line` to standard error.
void ReportLine(const QString& line);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_INSTANCE_START_HAND_OVER_H_
