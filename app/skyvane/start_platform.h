// Before Qt starts: which platform and display a start of the panel uses,
// read from its arguments and environment.
#ifndef SKYVANE_APP_SKYVANE_START_PLATFORM_H_
#define SKYVANE_APP_SKYVANE_START_PLATFORM_H_

#include <QString>

#include "app/common/display_check.h"

namespace skyvane {

// The display the panel shows on, which with the user names its one
// instance: Qt's -display option, else DISPLAY, else WAYLAND_DISPLAY; empty
// without any.
QString DisplayName(int argc, char** argv);

// Sets QT_QPA_PLATFORM for this process where the user chose none: the
// offscreen platform for the options that never show a window (help,
// version, inspecting the loaded panel, talking to the running one), and
// X11 on a Wayland session that also runs XWayland, where a Wayland client
// could not place its own window.
void ChoosePlatform(int argc, char** argv);

// For a start without a usable `display`: reports a mistaken command line
// first (it is the first thing to mend), else the display problem, on
// standard error. Returns the exit status.
int FailWithoutDisplay(int argc, char** argv, const DisplayCheck& display);

}  // namespace skyvane

#endif  // SKYVANE_APP_SKYVANE_START_PLATFORM_H_
