#include "panel/window/desktop_manners.h"

#include <QWidget>

#include "panel/window/x11_desktop_hints.h"

namespace skyvane {

void GiveDesktopManners(QWidget& form) {
  form.setWindowFlags(form.windowFlags() | Qt::WindowStaysOnBottomHint |
                      Qt::WindowDoesNotAcceptFocus);
  form.setAttribute(Qt::WA_ShowWithoutActivating);
  form.setAttribute(Qt::WA_X11DoNotAcceptFocus);
  // Qt shows tooltips only over the active window, which the panel never is.
  form.setAttribute(Qt::WA_AlwaysShowToolTips);
  KeepX11DesktopHints(&form);
}

}  // namespace skyvane
