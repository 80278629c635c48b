#include "app/common/display_check.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace skyvane {

namespace {

constexpr std::string_view kX11Platform = "xcb";
constexpr std::string_view kEndOfOptions = "--";
// QT_QPA_PLATFORM may list fallbacks ("xcb;offscreen") and carry options
// after a colon ("xcb:nograb").
constexpr char kPlatformSeparator = ';';
constexpr char kPlatformOptionsStart = ':';

// The name of an option written "-name" or "--name"; empty for anything
// else.
std::string_view OptionName(std::string_view arg) {
  if (arg.substr(0, 2) == "--") return arg.substr(2);
  if (arg.substr(0, 1) == "-") return arg.substr(1);
  return std::string_view();
}

// An environment variable's value; unset and empty are alike, as for Qt.
std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

// True when `platforms` names only the X11 platform.
bool IsOnlyX11(std::string_view platforms) {
  if (platforms.find(kPlatformSeparator) != std::string_view::npos) return false;
  return platforms.substr(0, platforms.find(kPlatformOptionsStart)) == kX11Platform;
}

bool X11DisplayAnswers(const std::string& display) {
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
}

DisplayCheck ProbeX11(const std::optional<std::string>& display) {
  if (!display) return DisplayCheck{DisplayCheck::Result::kNone, std::string()};
  if (X11DisplayAnswers(*display)) return {};
  return DisplayCheck{DisplayCheck::Result::kUnreachable, *display};
}

}  // namespace

std::optional<std::string> QtOptionValue(int argc, char** argv, std::string_view name) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == kEndOfOptions) break;
    if (OptionName(arg) != name) continue;
    return i + 1 < argc ? std::string(argv[i + 1]) : std::string();
  }
  return std::nullopt;
}

std::vector<std::string> WithoutQtDisplayOptions(int argc, char** argv) {
  std::vector<std::string> kept;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (i > 0 && arg == kEndOfOptions) {
      kept.insert(kept.end(), argv + i, argv + argc);
      break;
    }
    const std::string_view name = i > 0 ? OptionName(arg) : std::string_view();
    if (name == kQtPlatformOption || name == kQtDisplayOption) {
      ++i;  // and its value
      continue;
    }
    kept.emplace_back(arg);
  }
  return kept;
}

DisplayCheck CheckDisplay(int argc, char** argv) {
  std::optional<std::string> platform = QtOptionValue(argc, argv, kQtPlatformOption);
  if (!platform) platform = Environment("QT_QPA_PLATFORM");
  std::optional<std::string> display = QtOptionValue(argc, argv, kQtDisplayOption);
  if (!display) display = Environment("DISPLAY");
  if (platform) return IsOnlyX11(*platform) ? ProbeX11(display) : DisplayCheck{};
  // Left to choose, Qt may take a Wayland compositor that is named; that
  // is not probed. Otherwise it opens the X display.
  if (Environment("WAYLAND_DISPLAY")) return {};
  return ProbeX11(display);
}

}  // namespace skyvane
