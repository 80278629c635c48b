#include "app/skyvane/start_platform.h"

#include <QStringList>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>

#include "app/skyvane/command_line.h"
#include "panel/instance/start_hand_over.h"

namespace skyvane {

namespace {

// True for the options that only print a text: help and version.
bool AsksForText(const char* arg) {
  for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
    if (std::strcmp(arg, option) == 0) return true;
  }
  return false;
}

// True for `arg` naming the long option `option`, with or without a value
// after "=".
bool IsOption(const char* arg, const char* option) {
  if (std::strncmp(arg, "--", 2) != 0) return false;
  const std::size_t length = std::strlen(option);
  return std::strncmp(arg + 2, option, length) == 0 &&
         (arg[2 + length] == '\0' || arg[2 + length] == '=');
}

// The options that never show a window need no display: inspecting the
// loaded panel, and talking to the running one. Unless a platform or an X
// display was chosen, they run on the offscreen platform.
void ChooseOffscreenWithoutWindow(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--") == 0) return;
    if (AsksForText(arg)) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      return;
    }
    for (const char* windowless : {kDumpControlsOption, kSnapshotOption, kDumpDetailsOption,
                                   kSnapshotDetailsOption, kStatusOption, kQuitOption}) {
      if (IsOption(arg, windowless)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return;
      }
    }
  }
}

// Qt's own option that chooses the platform.
bool ChoosesPlatform(int argc, char** argv) {
  return QtOptionValue(argc, argv, kQtPlatformOption).has_value();
}

// A Wayland client cannot place its own window, so the panel would lose its
// default place and its position memory there. When the session also runs
// XWayland (DISPLAY is set) and the user chose no platform, use X11.
void PreferXWaylandOnWayland(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY")) {
    return;
  }
  if (ChoosesPlatform(argc, argv)) return;
  qputenv("QT_QPA_PLATFORM", "xcb");
}

}  // namespace

QString DisplayName(int argc, char** argv) {
  if (const std::optional<std::string> chosen = QtOptionValue(argc, argv, kQtDisplayOption)) {
    return QString::fromLocal8Bit(*chosen);
  }
  const QString x11 = qEnvironmentVariable("DISPLAY");
  return x11.isEmpty() ? qEnvironmentVariable("WAYLAND_DISPLAY") : x11;
}

void ChoosePlatform(int argc, char** argv) {
  ChooseOffscreenWithoutWindow(argc, argv);
  PreferXWaylandOnWayland(argc, argv);
}

int FailWithoutDisplay(int argc, char** argv, const DisplayCheck& display) {
  QStringList arguments;
  for (const std::string& arg : WithoutQtDisplayOptions(argc, argv)) {
    arguments.append(QString::fromLocal8Bit(arg));
  }
  CommandLine command_line;
  if (!command_line.Parse(arguments)) return kExitUsage;
  if (display.result == DisplayCheck::Result::kNone) {
    std::fprintf(stderr,
                 "skyvane: no display to show the panel on (neither DISPLAY nor WAYLAND_DISPLAY "
                 "is set)\n");
  } else {
    std::fprintf(stderr, "skyvane: cannot open the display \"%s\" to show the panel on\n",
                 display.display.c_str());
  }
  return kExitFailure;
}

}  // namespace skyvane
