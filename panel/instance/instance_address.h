// Where the panel of one user on one display listens for the commands of
// later starts: $XDG_RUNTIME_DIR/skyvane-DISPLAY.sock, the folder every
// session gives its user alone. Without XDG_RUNTIME_DIR (a bare X session,
// su, some containers) a folder of the user's own in the temporary folder
// takes its place: /tmp/skyvane-UID, made for the user alone when missing
// and refused when anyone else could have made it or may enter it.
#ifndef SKYVANE_PANEL_INSTANCE_INSTANCE_ADDRESS_H_
#define SKYVANE_PANEL_INSTANCE_INSTANCE_ADDRESS_H_

#include <QString>

namespace skyvane {

// `display` as a part of a file name: the X display's host and number
// without its screen (":0" and ":0.0" give "0", "host:10.0" gives
// "host_10"), a Wayland display as it is ("wayland-0"); every character
// other than letters, digits, ".", "_" and "-" becomes "_"; empty gives
// "default".
QString DisplayFileName(const QString& display);

// The socket path of the panel on `display` for the user running the
// program. Raises RunError kInvalidArgument, naming the folder, when the
// stand-in folder cannot be made or is not the user's alone.
QString PanelSocketPath(const QString& display);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_INSTANCE_INSTANCE_ADDRESS_H_
