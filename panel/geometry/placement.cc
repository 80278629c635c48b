#include "panel/geometry/placement.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

namespace skyvane {

namespace {

// Window coordinates are kept well inside int so that adding the panel's size
// and intersecting rectangles cannot overflow; no screen is this far out.
constexpr double kMaxCoordinatePx = 1 << 24;

// Buffer for the shortest text of a float: sign, 9 digits, point, exponent.
constexpr int kFloatTextCapacity = 32;

int PixelFromTwips(float twips, double twips_per_pixel) {
  const double px = std::round(static_cast<double>(twips) / twips_per_pixel);
  return static_cast<int>(std::clamp(px, -kMaxCoordinatePx, kMaxCoordinatePx));
}

}  // namespace

PanelPlace DefaultPlacement(int screen_width_px, int screen_height_px) {
  const std::int64_t left =
      std::int64_t{screen_width_px} * kPlacementTwipsPerPixel - kDefaultLeftInsetTwips;
  const std::int64_t top =
      std::int64_t{screen_height_px} * kPlacementTwipsPerPixel - kDefaultTopInsetTwips;
  return {static_cast<float>(left), static_cast<float>(top)};
}

std::optional<float> ParseTwips(const QString& text) {
  const std::string bytes = text.trimmed().toStdString();
  const char* first = bytes.data();
  const char* const last = bytes.data() + bytes.size();
  // from_chars takes a minus sign but not a plus sign.
  if (first != last && *first == '+') {
    ++first;
    if (first != last && (*first == '-' || *first == '+')) return std::nullopt;
  }
  if (first == last) return std::nullopt;
  float value = 0;
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (error != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<PanelPlace> ParseSavedPlace(const QString& form_x, const QString& form_y) {
  if (form_x.isEmpty()) return std::nullopt;
  const std::optional<float> left = ParseTwips(form_x);
  const std::optional<float> top = ParseTwips(form_y);
  if (!left || !top) return std::nullopt;
  return PanelPlace{*left, *top};
}

QString SaveText(float twips) {
  if (twips == 0) twips = 0;  // turns -0 into 0
  char buffer[kFloatTextCapacity];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, twips);
  if (error != std::errc()) return QString();  // cannot happen with this capacity
  return QString::fromLatin1(buffer, static_cast<qsizetype>(end - buffer));
}

QPoint PlaceToPixels(const PanelPlace& place, const TwipScale& scale) {
  return {PixelFromTwips(place.left, scale.TwipsPerPixel()),
          PixelFromTwips(place.top, scale.TwipsPerPixel())};
}

PanelPlace PixelsToPlace(const QPoint& pos, const TwipScale& scale) {
  return {static_cast<float>(pos.x() * scale.TwipsPerPixel()),
          static_cast<float>(pos.y() * scale.TwipsPerPixel())};
}

bool ShowsGrabStrip(const QRect& panel, const QList<QRect>& screens) {
  const int need_width = std::min(kGrabStripWidthPx, panel.width());
  const int need_height = std::min(kGrabStripHeightPx, panel.height());
  for (const QRect& screen : screens) {
    const QRect shared = panel.intersected(screen);
    if (!shared.isEmpty() && shared.width() >= need_width && shared.height() >= need_height) {
      return true;
    }
  }
  return false;
}

}  // namespace skyvane
