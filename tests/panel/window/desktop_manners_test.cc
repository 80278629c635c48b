// The panel among other windows: what it asks of the platform on every
// window system. Whether a window manager grants it (the X11 hints, the
// focus staying where it was) is read back under openbox by the program's
// end-to-end test; Qt's display-free platform activates every window shown.
#include <gtest/gtest.h>

#include <QWindow>

#include "panel/skyvane_form.h"
#include "tests/panel/fixed_scale_options.h"

namespace skyvane {
namespace {

TEST(DesktopMannersTest, TheWindowAsksToStayBelowAndNeverTakeTheFocus) {
  Skyvane form(FixedScaleOptions());
  form.winId();  // the platform window, whose flags the platform reads
  const Qt::WindowFlags flags = form.windowHandle()->flags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
  EXPECT_TRUE(flags & Qt::FramelessWindowHint);
  EXPECT_TRUE(flags & Qt::WindowStaysOnBottomHint);
  EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(flags & Qt::WindowDoesNotAcceptFocus);
  EXPECT_TRUE(form.testAttribute(Qt::WA_ShowWithoutActivating));
}

}  // namespace
}  // namespace skyvane
