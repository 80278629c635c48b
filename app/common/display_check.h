// Whether the display a Qt program is about to open can be reached, asked
// before the application object is made.
//
// When Qt's platform cannot open its display, QGuiApplication ends the
// process with an abort and a core dump, which nothing can catch: a panel
// started at login before the X server answers, or a DISPLAY that names no
// running server, would crash instead of saying so. The check reads what
// Qt reads (its -platform and -display options, with one dash or two, and
// QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY) and, where Qt would open an
// X display, opens and closes a connection to it with libxcb, as Qt's own
// platform does. No Qt.
#ifndef SKYVANE_APP_COMMON_DISPLAY_CHECK_H_
#define SKYVANE_APP_COMMON_DISPLAY_CHECK_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyvane {

// Qt's own options that choose the platform and the X display.
inline constexpr std::string_view kQtPlatformOption = "platform";
inline constexpr std::string_view kQtDisplayOption = "display";

struct DisplayCheck {
  enum class Result {
    // A display answered, or a platform was chosen whose display is not
    // probed here (offscreen, wayland, a fallback list ...).
    kUsable,
    // Neither DISPLAY nor WAYLAND_DISPLAY is set and no platform or display
    // was chosen; or the X11 platform was chosen and no X display named.
    kNone,
    // The X display Qt would open does not answer (no server there, or one
    // that refuses the connection).
    kUnreachable,
  };
  Result result = Result::kUsable;
  // For kUnreachable, the display's name as given (":99").
  std::string display;
};

// The value of Qt's option `name` ("platform", "display") in argv, written
// "-name VALUE" or "--name VALUE"; nothing when it is absent. An option
// without a value counts as given with the empty value.
std::optional<std::string> QtOptionValue(int argc, char** argv, std::string_view name);

// `argv` (the program's name first) without the options CheckDisplay reads,
// -platform and -display with their values, which QApplication takes out
// before a program reads its own options.
std::vector<std::string> WithoutQtDisplayOptions(int argc, char** argv);

// Checks the display for a program about to make a QGuiApplication from
// `argc` and `argv`. May wait as long as connecting to the X server takes.
DisplayCheck CheckDisplay(int argc, char** argv);

}  // namespace skyvane

#endif  // SKYVANE_APP_COMMON_DISPLAY_CHECK_H_
