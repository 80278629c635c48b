// The popup of one day's details: the full date and weather text, a chart
// of the day's hourly temperatures over the hourly chances of
// precipitation, sunrise and sunset, the strongest wind with its compass
// point, the precipitation total and the feels-like range.
//
// Everything is drawn with QPainter in logical pixels, so the popup is as
// sharp on a screen of 1.5 or 2 device pixels per pixel as on one of 1; it
// fills its own background from its palette, so it reads the same on a
// light or a dark desktop. Absent values show as a dash, absent hours as a
// gap in the line and no bar. Texts go through tr().
#ifndef SKYVANE_PANEL_DETAILS_DAY_POPUP_H_
#define SKYVANE_PANEL_DETAILS_DAY_POPUP_H_

#include <QColor>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <optional>

#include "panel/sources/day_details.h"

namespace skyvane {

class DayPopup : public QWidget {
  Q_OBJECT
 public:
  // The popup's size in logical pixels.
  static constexpr QSize kSize{340, 284};

  // A popup window (Qt::Popup): it takes the mouse and keyboard while it
  // shows, and closes on Escape and on a press outside it.
  explicit DayPopup(QWidget* parent = nullptr);

  // What to show: `details`, and the current hour of the place when the day
  // is its today (marked on the chart). The window's title and accessible
  // name become the full date (FullDateText).
  void SetDay(const DayDetails& details, std::optional<int> current_hour);
  const DayDetails& Day() const { return details_; }

  // The screen rectangle of what opened the popup: a press there closes
  // the popup and is not passed on, so that it does not open it again.
  void SetAnchor(const QRect& global_rect) { anchor_ = global_rect; }

  // The date as the popup names it: the long format of the current locale.
  static QString FullDateText(QDate date);
  // The x of the middle of hour `hour` (0 .. 23) on the chart, and the top
  // and bottom of the temperature line's area, in logical pixels.
  static double ChartX(int hour);
  static constexpr int kChartTop = 60;
  static constexpr int kChartBottom = 151;
  // The colour of the temperature line.
  static QColor LineColor();

 signals:
  void closed();
  // A press of the left button outside the popup, at `global_pos` on the
  // screen, just before it closes the popup. Neither that press nor its
  // release reaches any other widget.
  void pressedOutside(QPoint global_pos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  DayDetails details_;
  std::optional<int> current_hour_;
  QRect anchor_;
};

// Where a popup of `popup` size opens for a click on `anchor` of the panel
// at `panel` (both in screen pixels) on a screen whose usable area is
// `screen`: above the panel, else below, else left or right of it, the
// first where it fits whole, lined up with the anchor; where none fits, the
// first place moved onto the screen. Returns its top-left corner.
QPoint PopupPlace(const QRect& panel, const QRect& anchor, const QSize& popup, const QRect& screen);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_DETAILS_DAY_POPUP_H_
