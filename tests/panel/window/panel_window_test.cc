#include "panel/window/panel_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>

namespace skyvane {
namespace {

const QSize kPanelPixels(449, 53);
const QRect kFullHd(0, 0, 1920, 1080);

TEST(ChooseOpeningPlaceTest, DefaultSavedAndUnreachable) {
  const TwipScale nominal;
  const QRect second(1920, 0, 1280, 1024);
  const struct {
    const char* what;
    QRect primary;
    QList<QRect> screens;
    std::optional<PanelPlace> saved;
    QPoint pixels;
    OpeningPlace::Source source;
  } cases[] = {
      {"first start, full HD",
       kFullHd,
       {kFullHd},
       std::nullopt,
       {1473, 987},
       OpeningPlace::Source::kDefault},
      {"first start, 1366 x 768",
       QRect(0, 0, 1366, 768),
       {QRect(0, 0, 1366, 768)},
       std::nullopt,
       {919, 675},
       OpeningPlace::Source::kDefault},
      {"saved place wins",
       kFullHd,
       {kFullHd},
       PanelPlace{13905, 9000},
       {927, 600},
       OpeningPlace::Source::kSaved},
      {"saved on the second screen",
       kFullHd,
       {kFullHd, second},
       PanelPlace{37500, 4500},
       {2500, 300},
       OpeningPlace::Source::kSaved},
      {"second screen unplugged",
       kFullHd,
       {kFullHd},
       PanelPlace{37500, 4500},
       {1473, 987},
       OpeningPlace::Source::kSavedUnreachable},
      {"screen became smaller",
       QRect(0, 0, 1024, 768),
       {QRect(0, 0, 1024, 768)},
       PanelPlace{22100, 14800},
       {577, 675},
       OpeningPlace::Source::kSavedUnreachable},
      {"saved far above",
       kFullHd,
       {kFullHd},
       PanelPlace{0, -3.0e38f},
       {1473, 987},
       OpeningPlace::Source::kSavedUnreachable},
      {"primary is not at the origin",
       second,
       {kFullHd, second},
       std::nullopt,
       {1920 + 833, 931},
       OpeningPlace::Source::kDefault},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const OpeningPlace chosen =
        ChooseOpeningPlace(c.primary, c.screens, kPanelPixels, c.saved, nominal);
    EXPECT_EQ(chosen.pixels, c.pixels);
    EXPECT_EQ(chosen.source, c.source);
  }
}

// A stand-in for the form: a frameless top-level of the panel's size.
class WindowTest : public testing::Test {
 protected:
  WindowTest() {
    form_.setWindowFlag(Qt::FramelessWindowHint);
    form_.resize(kPanelPixels);
  }

  QString StorePath() const { return dir_.filePath(QStringLiteral("Skyvane.conf")); }

  void Send(QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(global - form_.pos()), QPointF(global), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&form_, &event);
  }

  QTemporaryDir dir_;
  QWidget form_;
};

TEST_F(WindowTest, PressWithoutMovingSavesBothKeys) {
  PositionStore store(StorePath());
  form_.move(100, 200);
  PanelDrag drag(&form_, TwipScale(), &store);
  for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
    ASSERT_TRUE(store.Forget());
    const QPoint at = form_.pos() + QPoint(3, 20);
    drag.Press(at, button);
    EXPECT_EQ(store.SavedPlace(), (PanelPlace{1500, 3000})) << "after the press, button " << button;
    Send(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    EXPECT_EQ(PositionStore(StorePath()).SavedPlace(), (PanelPlace{1500, 3000}));
  }
}

TEST_F(WindowTest, WithoutSystemMoveThePanelFollowsTheMouse) {
  PositionStore store(StorePath());
  form_.move(100, 200);
  PanelDrag drag(&form_, TwipScale(), &store);
  const QPoint press = QPoint(103, 220);
  drag.Press(press, Qt::LeftButton);  // the offscreen platform has no system move
  ASSERT_TRUE(drag.FollowingMouse());
  Send(QEvent::MouseMove, press + QPoint(10, 5), Qt::NoButton, Qt::LeftButton);
  Send(QEvent::MouseMove, press + QPoint(-40, -60), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(form_.pos(), QPoint(60, 140));
  Send(QEvent::MouseButtonRelease, press + QPoint(-40, -60), Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(drag.FollowingMouse());
  EXPECT_EQ(PositionStore(StorePath()).SavedPlace(), (PanelPlace{900, 2100}));
  // Once released, moving the mouse moves nothing.
  Send(QEvent::MouseMove, press + QPoint(300, 300), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(form_.pos(), QPoint(60, 140));
}

TEST_F(WindowTest, ADragWithTheRightButtonMovesToo) {
  PositionStore store(StorePath());
  form_.move(100, 200);
  PanelDrag drag(&form_, TwipScale(), &store);
  drag.Press(QPoint(101, 201), Qt::RightButton);
  Send(QEvent::MouseMove, QPoint(121, 231), Qt::NoButton, Qt::RightButton);
  Send(QEvent::MouseButtonRelease, QPoint(121, 231), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(form_.pos(), QPoint(120, 230));
  EXPECT_EQ(store.SavedPlace(), (PanelPlace{1800, 3450}));
}

TEST_F(WindowTest, MovesWithoutAPressAreNotSaved) {
  PositionStore store(StorePath());
  PanelDrag drag(&form_, TwipScale(), &store);
  form_.move(300, 300);  // e.g. the window system placing the panel
  Send(QEvent::MouseMove, QPoint(400, 400), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(form_.pos(), QPoint(300, 300));
  EXPECT_FALSE(store.SavedPlace().has_value());
}

}  // namespace
}  // namespace skyvane
