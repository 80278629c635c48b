// Ending a window manager's move of a window that will never see its button
// go up.
//
// QWindow::startSystemMove asks the window manager to move the window until
// the left button is released. When the button is released before the
// window manager has taken the pointer (a quick click, or a busy panel), the
// release comes to the panel instead, and the window manager keeps the
// pointer and the keyboard grabbed for a move that ends only with the next
// click, which it eats. Cancelling the move hands both back at once.
#ifndef SKYVANE_PANEL_WINDOW_X11_MOVE_CANCEL_H_
#define SKYVANE_PANEL_WINDOW_X11_MOVE_CANCEL_H_

class QWidget;

namespace skyvane {

// Asks the window manager to cancel any move or resize of the top-level
// `window` it is running (_NET_WM_MOVERESIZE_CANCEL); one that runs none
// ignores the request. Does nothing unless the application runs on Qt's
// xcb platform and `window` has an X11 window.
void CancelX11SystemMove(QWidget* window);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_WINDOW_X11_MOVE_CANCEL_H_
