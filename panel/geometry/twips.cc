#include "panel/geometry/twips.h"

#include <QScreen>
#include <cmath>

namespace skyvane {

TwipScale::TwipScale(double twips_per_pixel)
    : twips_per_pixel_(std::isfinite(twips_per_pixel) && twips_per_pixel > 0
                           ? twips_per_pixel
                           : kNominalTwipsPerPixel) {}

TwipScale TwipScale::ForScreen(const QScreen* screen) {
  if (screen == nullptr) return TwipScale();
  const double dpi = screen->logicalDotsPerInch();
  if (!std::isfinite(dpi) || dpi <= 0) return TwipScale();
  return TwipScale(kTwipsPerInch / dpi);
}

int TwipScale::ToPixels(int twips) const {
  return static_cast<int>(std::lround(twips / twips_per_pixel_));
}

QPoint TwipScale::ToPixels(QPoint twips) const {
  return {ToPixels(twips.x()), ToPixels(twips.y())};
}

QSize TwipScale::ToPixels(QSize twips) const {
  return {ToPixels(twips.width()), ToPixels(twips.height())};
}

QRect TwipScale::ToPixels(const QRect& twips) const {
  return {ToPixels(twips.topLeft()), ToPixels(twips.size())};
}

int TwipScale::ToTwips(int pixels) const {
  return static_cast<int>(std::lround(pixels * twips_per_pixel_));
}

QPoint TwipScale::ToTwips(QPoint pixels) const {
  return {ToTwips(pixels.x()), ToTwips(pixels.y())};
}

QSize TwipScale::ToTwips(QSize pixels) const {
  return {ToTwips(pixels.width()), ToTwips(pixels.height())};
}

QRect TwipScale::ToTwips(const QRect& pixels) const {
  return {ToTwips(pixels.topLeft()), ToTwips(pixels.size())};
}

}  // namespace skyvane
