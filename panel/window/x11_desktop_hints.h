// The window manager hints of the panel's X11 window that Qt has no window
// flag for: "skip the task bar", "skip the pager" and "sticky" in
// _NET_WM_STATE, _NET_WM_DESKTOP set to every desktop, and no WM_TAKE_FOCUS
// among the WM_PROTOCOLS (with Qt::WindowDoesNotAcceptFocus clearing the
// input hint, the window manager then never hands the window the focus).
//
// A window manager reads these when it takes on a window and drops
// _NET_WM_STATE when the window is withdrawn, so they are written on the
// unmapped window just before every map; Qt adds its own states to the ones
// it finds there.
#ifndef SKYVANE_PANEL_WINDOW_X11_DESKTOP_HINTS_H_
#define SKYVANE_PANEL_WINDOW_X11_DESKTOP_HINTS_H_

#include <cstdint>

class QWidget;

namespace skyvane {

// The _NET_WM_DESKTOP value that puts a window on every desktop.
inline constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

// From now on writes the hints on the X11 window of the top-level `window`
// each time it is about to be shown. Does nothing unless the application
// runs on Qt's xcb platform. The watcher is a child of `window`.
void KeepX11DesktopHints(QWidget* window);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_WINDOW_X11_DESKTOP_HINTS_H_
