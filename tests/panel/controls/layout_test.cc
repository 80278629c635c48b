// The form and its 28 controls as created: order, geometry, captions,
// colours, drawing, and where mouse presses go.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <set>
#include <string>
#include <vector>

#include "panel/controls/icon_path.h"
#include "panel/controls/layout_table.h"
#include "panel/geometry/twips.h"
#include "panel/skyvane_form.h"
#include "tests/panel/fixed_scale_options.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

TEST(TwipScaleTest, ConvertsBothWaysAtScreenDensities) {
  struct Case {
    double twips_per_pixel;
    int twips;
    int pixels;
  };
  const Case cases[] = {
      {15, 6735, 449}, {15, 795, 53}, {15, 375, 25},
      {15, 960, 64},   {15, 0, 0},    {12, 6735, 561},  // 120 dpi: 561.25 rounds down
      {12, 375, 31},                                    // 31.25
      {20, 375, 19},                                    // 72 dpi: 18.75 rounds up
      {15, -300, -20},                                  // positions left of the screen
  };
  for (const Case& c : cases) {
    const TwipScale scale(c.twips_per_pixel);
    EXPECT_EQ(scale.ToPixels(c.twips), c.pixels) << c.twips_per_pixel << " " << c.twips;
  }
  const TwipScale nominal;
  EXPECT_EQ(nominal.ToTwips(32), 480);
  EXPECT_EQ(nominal.ToTwips(QRect(1, 2, 3, 4)), QRect(15, 30, 45, 60));
  EXPECT_EQ(nominal.ToPixels(QRect(120, 600, 975, 255)), QRect(8, 40, 65, 17));
}

TEST(TwipScaleTest, FallsBackToFifteenWithoutAUsableDensity) {
  EXPECT_EQ(TwipScale(0).TwipsPerPixel(), kNominalTwipsPerPixel);
  EXPECT_EQ(TwipScale(-3).TwipsPerPixel(), kNominalTwipsPerPixel);
  EXPECT_EQ(TwipScale::ForScreen(nullptr).TwipsPerPixel(), kNominalTwipsPerPixel);
  // The offscreen test screen reports 96 logical dots per inch.
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  EXPECT_DOUBLE_EQ(TwipScale::ForScreen(screen).TwipsPerPixel(),
                   kTwipsPerInch / screen->logicalDotsPerInch());
}

TEST(LayoutTableTest, EveryColumnFollowsTheColumnPitch) {
  std::set<std::pair<std::string, int>> seen;
  for (const ControlDesign& d : kControlDesigns) {
    SCOPED_TRACE(std::string(d.array) + "(" + std::to_string(d.index) + ")");
    ASSERT_GE(d.index, 0);
    ASSERT_LT(d.index, kColumnCount);
    EXPECT_TRUE(seen.insert({std::string(d.array), d.index}).second) << "control twice";
    const int column_left = 960 * d.index;
    if (d.array == "Image1") {
      EXPECT_EQ(d.kind, ControlKind::kImage);
      EXPECT_EQ(QRect(d.left, d.top, d.width, d.height), QRect(480 + column_left, 0, 375, 375));
      EXPECT_EQ(d.tab_index, -1);
      continue;
    }
    EXPECT_EQ(d.kind, ControlKind::kLabel);
    EXPECT_EQ(d.left, 120 + column_left);
    EXPECT_EQ(d.height, 255);
    EXPECT_EQ(d.caption, d.array);
    EXPECT_EQ(d.fore_color, kBgrBlack);
    if (d.array == "Label1") {
      EXPECT_EQ(d.top, 120);
      EXPECT_EQ(d.width, 735);
      EXPECT_EQ(d.tab_index, d.index);
    } else if (d.array == "Label2") {
      EXPECT_EQ(d.top, 360);
      EXPECT_EQ(d.width, d.index == 6 ? 975 : 855);
      EXPECT_EQ(d.tab_index, 7 + d.index);
    } else {
      ASSERT_EQ(d.array, "Label3");
      EXPECT_EQ(d.top, 600);
      EXPECT_EQ(d.width, d.index == 6 ? 975 : 855);
      EXPECT_EQ(d.tab_index, 14 + d.index);
    }
  }
  EXPECT_EQ(seen.size(), 28u);
}

TEST(LayoutTableTest, ColoursConvertBetweenBgrAndQt) {
  EXPECT_EQ(BgrToColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(BgrToColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(BgrToColor(0x123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(ColorToBgr(QColor(0x56, 0x34, 0x12)), 0x123456u);
  EXPECT_EQ(ColorToBgr(Qt::white), kBgrWhite);
}

TEST(SkyvaneFormTest, IsABorderlessWhiteWindowOfTheStoredSize) {
  Skyvane form(FixedScaleOptions());
  EXPECT_TRUE(form.isWindow());
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Form1"));
  EXPECT_EQ(form.size(), QSize(449, 53));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  const QImage picture = form.grab().toImage();
  EXPECT_EQ(picture.pixelColor(2, 50), QColor(Qt::white));  // bare surface below the labels
  EXPECT_EQ(form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 28)
      << "the form holds the 28 controls and no other widget";
}

TEST(SkyvaneFormTest, CreatesTheControlsInStoredOrderWithStoredGeometry) {
  Skyvane form(FixedScaleOptions());
  const std::vector<ControlState> states = form.ControlStates();
  ASSERT_EQ(states.size(), 29u);
  EXPECT_EQ(states[0].control, QStringLiteral("Skyvane"));
  EXPECT_FALSE(states[0].index.has_value());
  EXPECT_EQ(states[0].caption, QStringLiteral("Form1"));
  EXPECT_EQ(states[0].twips.size(), QSize(6735, 795));

  // Creation order is stacking order: later controls lie above earlier ones.
  const QList<QWidget*> children =
      form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  for (std::size_t i = 0; i < kControlDesigns.size(); ++i) {
    const ControlDesign& d = kControlDesigns[i];
    const ControlState& s = states[i + 1];
    SCOPED_TRACE(s.control.toStdString() + "(" + std::to_string(d.index) + ")");
    EXPECT_EQ(s.control.toStdString(), std::string(d.array));
    EXPECT_EQ(s.index, d.index);
    EXPECT_EQ(s.twips, QRect(d.left, d.top, d.width, d.height));
    const QWidget* widget = children.value(static_cast<qsizetype>(i));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), QRect(d.left / 15, d.top / 15, d.width / 15, d.height / 15));
    EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus);
    if (d.kind == ControlKind::kImage) {
      EXPECT_TRUE(s.is_image);
      EXPECT_FALSE(s.caption.has_value());
      EXPECT_FALSE(s.picture.has_value());
    } else {
      EXPECT_EQ(s.caption, QString::fromLatin1(d.array.data(), d.array.size()));
      EXPECT_EQ(s.fore_color, kBgrBlack);
    }
  }
}

TEST(SkyvaneFormTest, ArraysReachEveryColumnAndRefuseOtherIndexes) {
  Skyvane form(FixedScaleOptions());
  for (int i = 0; i < kColumnCount; ++i) {
    EXPECT_EQ(form.Label1(i)->Index(), i);
    EXPECT_EQ(form.Label2(i)->State().control, QStringLiteral("Label2"));
    EXPECT_EQ(form.Label3(i)->geometry().top(), 40);
    EXPECT_EQ(form.Image1(i)->geometry().topLeft(), QPoint(32 + 64 * i, 0));
  }
  for (const int bad : {-1, 7, 100}) {
    try {
      form.Label3(bad);
      ADD_FAILURE() << "index " << bad << " accepted";
    } catch (const RunError& e) {
      EXPECT_EQ(e.Number(), ErrorNumber::kSubscriptOutOfRange);
    }
  }
}

TEST(SkyvaneFormTest, ImageTakesThePictureSizeAndKeepsItsCorner) {
  Skyvane form(FixedScaleOptions());
  PanelImage* image = form.Image1(3);
  EXPECT_EQ(image->TwipGeometry(), QRect(3360, 0, 375, 375));
  image->LoadPicture(IconFolder(QCoreApplication::applicationDirPath()) +
                     QStringLiteral("qing.gif"));
  EXPECT_EQ(image->TwipGeometry(), QRect(3360, 0, 480, 480));
  EXPECT_EQ(image->geometry(), QRect(224, 0, 32, 32));
  EXPECT_TRUE(image->PicturePath().endsWith(QStringLiteral("qing.gif")));

  // A failed load leaves the picture, its path and its size as they were.
  EXPECT_THROW(image->LoadPicture(QStringLiteral("/nonexistent/none.gif")), RunError);
  EXPECT_TRUE(image->PicturePath().endsWith(QStringLiteral("qing.gif")));
  EXPECT_EQ(image->geometry().size(), QSize(32, 32));
}

TEST(SkyvaneFormTest, LabelCaptionIsPlainTextClippedToTheLabel) {
  Skyvane form(FixedScaleOptions());
  for (int i = 0; i < kColumnCount; ++i) {
    form.Label1(i)->SetCaption(QString());
    form.Label2(i)->SetCaption(QString());
    form.Label3(i)->SetCaption(QString());
  }
  // Markup from the network must show as the characters it is made of.
  form.Label2(0)->SetCaption(QStringLiteral("<b>x</b>"));
  EXPECT_EQ(form.Label2(0)->textFormat(), Qt::PlainText);
  // Far too wide for Label3(0), which ends at x = 65 with the next column at 72.
  form.Label3(0)->SetCaption(QString(40, QChar(u'█')));
  const QImage picture = form.grab().toImage();
  bool drawn_inside = false;
  for (int y = 40; y < 53; ++y) {
    for (int x = 8; x < 65; ++x) drawn_inside |= picture.pixelColor(x, y) != QColor(Qt::white);
    for (int x = 65; x < 72; ++x) {
      ASSERT_EQ(picture.pixelColor(x, y), QColor(Qt::white))
          << "drawn outside at " << x << "," << y;
    }
  }
  EXPECT_TRUE(drawn_inside);
}

// Counts the mouse presses that reach the form itself.
class PressCounter : public QObject {
 public:
  int presses = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) ++presses;
    return false;
  }
};

void Press(QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), target->mapToGlobal(QPointF(at)), button,
                    button, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), target->mapToGlobal(QPointF(at)),
                      button, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

TEST(SkyvaneFormTest, PressesOnControlsNeverReachTheForm) {
  Skyvane form(FixedScaleOptions());
  PressCounter counter;
  form.installEventFilter(&counter);
  form.Image1(0)->LoadPicture(IconFolder(QCoreApplication::applicationDirPath()) +
                              QStringLiteral("yun.gif"));
  // Every control, with and without a picture, on text and on blank parts,
  // with either button.
  for (QWidget* control : std::vector<QWidget*>{form.Label1(0), form.Label2(6), form.Label3(3),
                                                form.Image1(0), form.Image1(5)}) {
    Press(control, QPoint(1, 1));
    Press(control, QPoint(control->width() - 1, control->height() - 1), Qt::RightButton);
  }
  EXPECT_EQ(counter.presses, 0);

  // The bare surface, left of the first column, does get them.
  Press(&form, QPoint(2, 30));
  EXPECT_EQ(counter.presses, 1);
}

}  // namespace
}  // namespace skyvane
