// Twips, the unit the panel's layout is stored in, and their conversion to
// the device-independent pixels Qt lays widgets out in.
//
// A twip is 1/1440 inch. Every conversion between twips and pixels in the
// panel goes through a TwipScale, so there is exactly one place that knows
// how many twips make a pixel.
#ifndef SKYVANE_PANEL_GEOMETRY_TWIPS_H_
#define SKYVANE_PANEL_GEOMETRY_TWIPS_H_

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;

namespace skyvane {

inline constexpr int kTwipsPerInch = 1440;
// Twips per pixel on a screen of 96 logical dots per inch, the usual
// density, and the factor used when the screen reports none.
inline constexpr double kNominalTwipsPerPixel = 15.0;

class TwipScale {
 public:
  // `twips_per_pixel` must be positive; anything else falls back to
  // kNominalTwipsPerPixel.
  explicit TwipScale(double twips_per_pixel = kNominalTwipsPerPixel);

  // The scale of `screen`: 1440 divided by its logical dots per inch. A null
  // screen, or one that reports no density, gives the nominal scale.
  static TwipScale ForScreen(const QScreen* screen);

  double TwipsPerPixel() const { return twips_per_pixel_; }

  // Twips to pixels, rounded to the nearest pixel.
  int ToPixels(int twips) const;
  QPoint ToPixels(QPoint twips) const;
  QSize ToPixels(QSize twips) const;
  QRect ToPixels(const QRect& twips) const;

  // Pixels to twips, rounded to the nearest twip.
  int ToTwips(int pixels) const;
  QPoint ToTwips(QPoint pixels) const;
  QSize ToTwips(QSize pixels) const;
  QRect ToTwips(const QRect& pixels) const;

 private:
  double twips_per_pixel_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_GEOMETRY_TWIPS_H_
