// How the panel behaves among the user's other windows, as a piece of the
// desktop rather than an application window: it lies below normal windows,
// shows on every virtual desktop, has no entry in the task bar or the pager,
// and never takes the keyboard focus, neither when it appears nor when it is
// clicked (it has no use for keys). Its tooltips show all the same.
#ifndef SKYVANE_PANEL_WINDOW_DESKTOP_MANNERS_H_
#define SKYVANE_PANEL_WINDOW_DESKTOP_MANNERS_H_

class QWidget;

namespace skyvane {

// Gives the top-level `form` these manners: the window flags and widget
// attributes Qt has for them on every platform, and on X11 the window
// manager hints Qt has no flag for (KeepX11DesktopHints). Call it before the
// form is first shown; the hints then hold for every later show as well.
// Keeps the form's window type and its other flags.
void GiveDesktopManners(QWidget& form);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_WINDOW_DESKTOP_MANNERS_H_
