// Where the panel opens: the default place near the bottom-right corner of the
// primary screen, the saved place read back from its two settings texts, and
// the check that a place still leaves part of the panel on some screen.
//
// Positions are the panel's `Left` and `Top` in twips (1/1440 inch) held as
// single-precision values, as they are saved. Everything here is pure
// arithmetic on its arguments so that it can be tested without a screen.
#ifndef SKYVANE_PANEL_GEOMETRY_PLACEMENT_H_
#define SKYVANE_PANEL_GEOMETRY_PLACEMENT_H_

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

#include "panel/geometry/twips.h"

namespace skyvane {

// The default place always converts pixels with this factor, whatever the
// screen's own density.
inline constexpr int kPlacementTwipsPerPixel = 15;
// The default `Left` is the screen width (in twips at the factor above) less
// this; the panel is 6735 twips wide, so its right edge ends 35 twips past
// the screen's right edge.
inline constexpr int kDefaultLeftInsetTwips = 6700;
// The default `Top` is the screen height less this: 605 twips above the
// bottom edge for a panel 795 twips high.
inline constexpr int kDefaultTopInsetTwips = 1400;

// The panel's position in twips.
struct PanelPlace {
  float left = 0;
  float top = 0;
  friend bool operator==(const PanelPlace&, const PanelPlace&) = default;
};

// Default place for a screen of the given size in pixels:
// left = width * 15 - 6700, top = height * 15 - 1400. The arithmetic is wide
// enough for any screen size an int can hold.
PanelPlace DefaultPlacement(int screen_width_px, int screen_height_px);

// Reads one saved coordinate: a decimal number as SaveText writes it, with
// optional surrounding blanks, an optional sign, a fraction and an exponent.
// Returns nullopt for an empty text, anything that is not entirely such a
// number, infinities, NaN and numbers beyond single precision.
std::optional<float> ParseTwips(const QString& text);

// The place saved as the texts of "formX" and "formY" (each the empty text
// when absent). Returns nullopt, meaning "keep the default place for both
// coordinates", when "formX" is empty, or when either text is not a number
// (a missing "formY" included).
std::optional<PanelPlace> ParseSavedPlace(const QString& form_x, const QString& form_y);

// The text saved for a coordinate: the shortest decimal text that reads back
// as the same single-precision value, with no fraction for integral values
// ("22100", "-300", "13905.5"). Negative zero is written as "0".
QString SaveText(float twips);

// Converts a place in twips to the window's top-left pixel at `scale`,
// rounding to the nearest pixel. Coordinates too large for any screen are
// clamped so the conversion stays defined; such a place lies on no screen.
QPoint PlaceToPixels(const PanelPlace& place, const TwipScale& scale);

// The inverse: the place in twips of a window whose top-left pixel is `pos`.
PanelPlace PixelsToPlace(const QPoint& pos, const TwipScale& scale);

// The smallest part of the panel, in pixels, that must lie on one screen for
// the user to be able to grab it: wider than a column's pitch plus the gap
// beside it, so that some bare surface between the controls is always in it,
// and tall enough to aim at.
inline constexpr int kGrabStripWidthPx = 72;
inline constexpr int kGrabStripHeightPx = 16;

// True when `panel` (the window's rectangle in pixels) shares with at least
// one of `screens` a rectangle of kGrabStripWidthPx x kGrabStripHeightPx (or
// the whole panel, if it is smaller than that). False for no screens.
bool ShowsGrabStrip(const QRect& panel, const QList<QRect>& screens);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_GEOMETRY_PLACEMENT_H_
