// The form's window behaviour: what Form_Load does before the refresh, and
// which presses drag the panel and save its place.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include "panel/skyvane_form.h"

namespace skyvane {
namespace {

class FormWindowTest : public testing::Test {
 protected:
  // The panel reads a seven-day forecast from a file beside the store and
  // its icons from beside the test program.
  SkyvaneOptions Options() const {
    const QString forecast = dir_.filePath(QStringLiteral("forecast.json"));
    if (!QFile::exists(forecast)) {
      QString records;
      for (int day = 0; day < 7; ++day) {
        records += QStringLiteral(
            R"({"wea": "sunny", "wea_img": "qing", "tem1": "12\u2103", "tem2": "3\u2103"},)");
      }
      QFile file(forecast);
      if (file.open(QIODevice::WriteOnly)) {
        file.write(QStringLiteral(R"({"data": [%1]})").arg(records).toUtf8());
      }
    }
    SkyvaneOptions options;
    options.scale = TwipScale();
    options.url = QUrl::fromLocalFile(forecast).toString();
    options.position_file = StorePath();
    return options;
  }

  QString StorePath() const { return dir_.filePath(QStringLiteral("Skyvane.conf")); }

  static QPoint DefaultPixels() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return screen.topLeft() +
           PlaceToPixels(DefaultPlacement(screen.width(), screen.height()), TwipScale());
  }

  void SaveTexts(const char* x, const char* y) {
    QSettings settings(StorePath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("set/formX"), QString::fromUtf8(x));
    settings.setValue(QStringLiteral("set/formY"), QString::fromUtf8(y));
  }

  // Delivers a mouse event at `at` (form pixels) to whatever lies there, as
  // the window would: the control under the point, else the form. Unhandled
  // presses travel on to the parent.
  static void MouseAt(Skyvane& form, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
    QWidget* target = form.childAt(at);
    if (target == nullptr) target = &form;
    QMouseEvent event(type, QPointF(target->mapFrom(&form, at)), QPointF(form.mapToGlobal(at)),
                      button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
  }

  static void DragAt(Skyvane& form, QPoint from, QPoint by, Qt::MouseButton button) {
    MouseAt(form, QEvent::MouseButtonPress, from, button, button);
    MouseAt(form, QEvent::MouseMove, from + by, Qt::NoButton, button);
    // The panel may have moved under the mouse: release where the mouse is.
    const QPoint global_end = form.mapToGlobal(from) + by;
    MouseAt(form, QEvent::MouseButtonRelease, form.mapFromGlobal(global_end), button, Qt::NoButton);
  }

  QTemporaryDir dir_;
};

TEST_F(FormWindowTest, LoadPlacesTheFormThenStillRefreshes) {
  const struct {
    const char* what;
    const char* x;  // nullptr: nothing saved
    const char* y;
    bool saved_place_used;
  } cases[] = {
      {"first start", nullptr, nullptr, false}, {"saved place", "1500", "3000", true},
      {"formX empty", "", "3000", false},       {"formX no number", "abc", "3000", false},
      {"formY missing", "1500", "", false},     {"off every screen", "99990", "99990", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(StorePath());
    if (c.x != nullptr) SaveTexts(c.x, c.y);
    Skyvane form(Options());
    form.Form_Load();
    EXPECT_EQ(form.pos(), c.saved_place_used ? QPoint(100, 200) : DefaultPixels());
    EXPECT_DOUBLE_EQ(form.windowOpacity(), 150.0 / 255.0);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::white));
    // The refresh ran to the end whatever the saved texts were.
    EXPECT_FALSE(form.RefreshStopped().has_value());
    EXPECT_NE(form.Label1(6)->Caption(), QStringLiteral("Label1"));
    EXPECT_TRUE(form.Image1(0)->HasPicture());
    // Loading only reads the saved place.
    if (c.x != nullptr) {
      EXPECT_EQ(form.Positions().Read(QStringLiteral("formX")), QString::fromUtf8(c.x));
    } else {
      EXPECT_FALSE(QFile::exists(StorePath()));
    }
  }
}

TEST_F(FormWindowTest, PressesOnControlsNeitherMoveNorSave) {
  Skyvane form(Options());
  form.Form_Load();
  form.show();
  const QPoint start = form.pos();
  const struct {
    const char* what;
    QPoint at;
  } controls[] = {
      {"Label1(0)", {20, 12}}, {"Label2(1)", {80, 30}}, {"Label3(6)", {400, 45}},
      {"Image1(0)", {60, 4}},  {"Image1(6)", {440, 4}}, {"Label1(0) over Image1(0)", {40, 12}},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.what);
    ASSERT_NE(form.childAt(c.at), nullptr);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
      DragAt(form, c.at, QPoint(-50, -70), button);
      EXPECT_EQ(form.pos(), start);
    }
  }
  EXPECT_FALSE(QFile::exists(StorePath()));
}

TEST_F(FormWindowTest, PressesOnTheBareSurfaceDragAndSave) {
  Skyvane form(Options());
  form.Form_Load();
  form.show();
  const struct {
    const char* what;
    QPoint at;
  } bare[] = {
      {"left of the first column", {3, 30}},
      {"between the second and third weather texts", {132, 30}},
      {"above the fourth day label", {210, 3}},
      {"right of the last icon", {448, 20}},
  };
  for (const auto& b : bare) {
    SCOPED_TRACE(b.what);
    ASSERT_EQ(form.childAt(b.at), nullptr);
    QFile::remove(StorePath());
    // A press alone saves both keys.
    const QPoint before = form.pos();
    MouseAt(form, QEvent::MouseButtonPress, b.at, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(PositionStore(StorePath()).SavedPlace(),
              (PanelPlace{before.x() * 15.0f, before.y() * 15.0f}));
    MouseAt(form, QEvent::MouseButtonRelease, b.at, Qt::LeftButton, Qt::NoButton);
    // A drag moves the panel with the mouse and saves where it ended.
    DragAt(form, b.at, QPoint(-30, -40), Qt::LeftButton);
    EXPECT_EQ(form.pos(), before + QPoint(-30, -40));
    EXPECT_EQ(PositionStore(StorePath()).SavedPlace(),
              (PanelPlace{(before.x() - 30) * 15.0f, (before.y() - 40) * 15.0f}));
  }
}

}  // namespace
}  // namespace skyvane
