#include "panel/geometry/placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace skyvane {
namespace {

struct ScreenCase {
  int width;
  int height;
  float left;
  float top;
};

TEST(DefaultPlacementTest, BottomRightOfTheScreen) {
  const ScreenCase cases[] = {
      {1920, 1080, 22100, 14800}, {1366, 768, 13790, 10120},
      {2184, 2184, 26060, 31360},  // the largest screen 16-bit values would hold
      {2185, 2185, 26075, 31375},  // one more pixel: the same formulas, wider values
      {3840, 2160, 50900, 31000}, {7680, 4320, 108500, 63400},
      {0, 0, -6700, -1400},
  };
  for (const ScreenCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    EXPECT_EQ(DefaultPlacement(c.width, c.height), (PanelPlace{c.left, c.top}));
  }
}

TEST(DefaultPlacementTest, HugeScreensDoNotWrap) {
  const PanelPlace place = DefaultPlacement(std::numeric_limits<int>::max(), 1080);
  EXPECT_GT(place.left, 3.2e10f);
  EXPECT_EQ(place.top, 14800);
}

TEST(ParseTwipsTest, ReadsDecimalTexts) {
  const struct {
    const char* text;
    float value;
  } cases[] = {
      {"22100", 22100}, {"-300", -300}, {"13905.5", 13905.5f}, {" 9000 ", 9000},
      {"+15", 15},      {"0", 0},       {"1e4", 10000},        {"2.5E+3", 2500},
      {".5", 0.5f},     {"-0", 0},      {"\t42\n", 42},        {"3.4e38", 3.4e38f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<float> parsed = ParseTwips(QString::fromUtf8(c.text));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, c.value);
  }
}

TEST(ParseTwipsTest, RefusesWhatIsNoNumber) {
  const char* const cases[] = {"",    "   ",  "abc", "12abc", "12 34", "1,5", "--1",
                               "+-1", "++1",  "+",   "-",     "0x10",  "inf", "-inf",
                               "nan", "1e39", "1e",  "１２",  "12.3.4"};
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ParseTwips(QString::fromUtf8(text)).has_value());
  }
}

TEST(ParseSavedPlaceTest, BothTextsOrNothing) {
  const struct {
    const char* x;
    const char* y;
    std::optional<PanelPlace> place;
  } cases[] = {
      {"13905", "9000", PanelPlace{13905, 9000}},
      {"-2000", "-15", PanelPlace{-2000, -15}},
      {"", "", std::nullopt},
      {"", "9000", std::nullopt},      // no formX: the default stays
      {"13905", "", std::nullopt},     // formY missing
      {"13905", "abc", std::nullopt},  // formY no number
      {"abc", "9000", std::nullopt},   // formX no number
      {" ", "9000", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.x << "\" \"" << c.y << '"');
    EXPECT_EQ(ParseSavedPlace(QString::fromUtf8(c.x), QString::fromUtf8(c.y)), c.place);
  }
}

TEST(SaveTextTest, ShortestTextWithoutFractionForIntegers) {
  const struct {
    float value;
    const char* text;
  } cases[] = {
      {22100, "22100"}, {-300, "-300"}, {13905.5f, "13905.5"},  {0, "0"},
      {-0.0f, "0"},     {0.1f, "0.1"},  {16777216, "16777216"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SaveText(c.value), QString::fromLatin1(c.text));
  }
}

TEST(SaveTextTest, ReadsBackAsTheSameValue) {
  for (float value : {22095.0f, -14999.25f, 1.0e-3f, 123456.789f, 3.0e38f, -1.17549435e-38f}) {
    SCOPED_TRACE(value);
    const std::optional<float> back = ParseTwips(SaveText(value));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, value);
  }
}

TEST(PixelConversionTest, RoundsToTheNearestPixel) {
  const TwipScale nominal;
  EXPECT_EQ(PlaceToPixels({22100, 14800}, nominal), QPoint(1473, 987));
  EXPECT_EQ(PlaceToPixels({13790, 10120}, nominal), QPoint(919, 675));
  EXPECT_EQ(PlaceToPixels({-22, 7.5f}, nominal), QPoint(-1, 1));
  const TwipScale dense(10);  // 144 dpi
  EXPECT_EQ(PlaceToPixels({22100, 14800}, dense), QPoint(2210, 1480));
  EXPECT_EQ(PixelsToPlace({1473, 987}, nominal), (PanelPlace{22095, 14805}));
  EXPECT_EQ(PixelsToPlace({-10, 0}, dense), (PanelPlace{-100, 0}));
}

TEST(PixelConversionTest, FarPlacesAreClampedNotUndefined) {
  const QPoint far = PlaceToPixels({3.0e38f, -3.0e38f}, TwipScale());
  EXPECT_GT(far.x(), 1000000);
  EXPECT_LT(far.y(), -1000000);
  // Far places stay far from every screen, with no overflow in the check.
  EXPECT_FALSE(ShowsGrabStrip(QRect(far, QSize(449, 53)), {QRect(0, 0, 1920, 1080)}));
}

TEST(ShowsGrabStripTest, NeedsAStripOnOneScreen) {
  const QSize panel(449, 53);
  const QRect full_hd(0, 0, 1920, 1080);
  const QRect right_of_it(1920, 0, 1280, 1024);
  const struct {
    const char* what;
    QPoint at;
    QList<QRect> screens;
    bool shows;
  } cases[] = {
      {"default place", {1473, 987}, {full_hd}, true},
      {"fully inside", {100, 100}, {full_hd}, true},
      {"72 pixels left on the right edge", {1920 - 72, 500}, {full_hd}, true},
      {"71 pixels left on the right edge", {1920 - 71, 500}, {full_hd}, false},
      {"72 pixels left on the left edge", {72 - 449, 500}, {full_hd}, true},
      {"16 pixels above the bottom", {500, 1080 - 16}, {full_hd}, true},
      {"15 pixels above the bottom", {500, 1080 - 15}, {full_hd}, false},
      {"above the top", {500, -53}, {full_hd}, false},
      {"on a screen that is gone", {2500, 300}, {full_hd}, false},
      {"on the second screen", {2500, 300}, {full_hd, right_of_it}, true},
      {"straddling two screens, enough on one", {1800, 300}, {full_hd, right_of_it}, true},
      {"in the gap below a shorter screen", {2500, 1030}, {full_hd, right_of_it}, false},
      {"no screens", {100, 100}, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ShowsGrabStrip(QRect(c.at, panel), c.screens), c.shows);
  }
}

TEST(ShowsGrabStripTest, ASmallPanelMustShowWhole) {
  const QRect screen(0, 0, 800, 600);
  EXPECT_TRUE(ShowsGrabStrip(QRect(0, 0, 10, 10), {screen}));
  EXPECT_FALSE(ShowsGrabStrip(QRect(-1, 0, 10, 10), {screen}));
}

}  // namespace
}  // namespace skyvane
