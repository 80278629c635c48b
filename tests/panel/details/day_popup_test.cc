// The day's popup: where it opens beside the panel, and its chart drawn with
// a gap where an hour has no temperature rather than a drop to zero.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <cstdlib>

#include "panel/details/day_popup.h"

namespace skyvane {
namespace {

TEST(PopupPlaceTest, BesideThePanelAndOnTheScreen) {
  const QRect screen(0, 0, 1920, 1080);
  const QSize popup(340, 284);
  struct Case {
    const char* name;
    QRect panel;
    QRect anchor;
    QPoint expected;
  };
  const Case cases[] = {
      {"above, lined up with the column", QRect(1473, 987, 520, 60), QRect(1550, 990, 60, 50),
       QPoint(1550, 987 - 4 - 284)},
      {"below a panel at the top", QRect(100, 0, 520, 60), QRect(160, 0, 60, 50), QPoint(160, 64)},
      {"moved onto the screen at its right edge", QRect(1400, 900, 520, 60),
       QRect(1850, 900, 60, 50), QPoint(1920 - 340, 900 - 4 - 284)},
      {"left of a panel as tall as the screen", QRect(1000, 0, 100, 1080), QRect(1000, 500, 60, 50),
       QPoint(1000 - 4 - 340, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QPoint corner = PopupPlace(c.panel, c.anchor, popup, screen);
    EXPECT_EQ(corner, c.expected);
    EXPECT_TRUE(screen.contains(QRect(corner, popup)));
    EXPECT_FALSE(QRect(corner, popup).intersects(c.panel));
  }
}

// True when column `x` of the chart shows the temperature line's colour.
bool LineAt(const QImage& image, int x) {
  const QColor line = DayPopup::LineColor();
  for (int y = DayPopup::kChartTop; y <= DayPopup::kChartBottom; ++y) {
    const QColor pixel = image.pixelColor(x, y);
    if (std::abs(pixel.red() - line.red()) < 40 && std::abs(pixel.green() - line.green()) < 40 &&
        std::abs(pixel.blue() - line.blue()) < 40) {
      return true;
    }
  }
  return false;
}

TEST(DayPopupTest, ANullHourIsAGapInTheLine) {
  DayDetails day;
  day.date = QDate(2026, 5, 29);
  for (int hour = 0; hour < kHoursPerDay; ++hour) {
    if (hour != 5) day.hourly_temperature[static_cast<std::size_t>(hour)] = Decimal::FromInt64(10);
  }
  DayPopup popup;
  popup.SetDay(day, std::nullopt);
  EXPECT_TRUE(popup.windowTitle().contains(QStringLiteral("2026")));
  QImage image(DayPopup::kSize, QImage::Format_ARGB32);
  image.fill(Qt::white);
  popup.render(&image);
  EXPECT_TRUE(LineAt(image, static_cast<int>(DayPopup::ChartX(10))));
  EXPECT_FALSE(LineAt(image, static_cast<int>(DayPopup::ChartX(5))));
  // Without hours there is no line at all.
  popup.SetDay(DayDetails{}, std::nullopt);
  image.fill(Qt::white);
  popup.render(&image);
  EXPECT_FALSE(LineAt(image, static_cast<int>(DayPopup::ChartX(10))));
}

// True when column `x` of the chart is drawn in the popup's text colour.
bool TextColourAt(const DayPopup& popup, const QImage& image, int x) {
  const QColor text = popup.palette().color(QPalette::WindowText);
  for (int y = DayPopup::kChartTop; y <= DayPopup::kChartBottom; ++y) {
    const QColor pixel = image.pixelColor(x, y);
    if (std::abs(pixel.red() - text.red()) + std::abs(pixel.green() - text.green()) +
            std::abs(pixel.blue() - text.blue()) <
        120) {
      return true;
    }
  }
  return false;
}

TEST(DayPopupTest, MarksTheCurrentHourOnlyWhenGiven) {
  DayPopup popup;
  QImage image(DayPopup::kSize, QImage::Format_ARGB32);
  const int x = static_cast<int>(DayPopup::ChartX(2));  // no hour mark, no text
  for (const std::optional<int> hour : {std::optional<int>(2), std::optional<int>()}) {
    popup.SetDay(DayDetails{}, hour);
    image.fill(Qt::white);
    popup.render(&image);
    EXPECT_EQ(TextColourAt(popup, image, x), hour.has_value());
  }
}

}  // namespace
}  // namespace skyvane
