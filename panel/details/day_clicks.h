// Opens a day's popup (day_popup.h) when a column is clicked: a press and
// release of the left button on the column's day, weather text, icon or
// temperature, without moving further than the platform's drag distance in
// between. The bare surface is left alone, so it still drags the panel.
//
// The popup opens beside the panel (PopupPlace) on the panel's screen.
// Escape, a press outside it or a click on the same column closes it; a
// click on another column opens that column's popup instead. A column
// without details (the panel's own forecast service has none, and a refresh
// that read none) opens nothing.
#ifndef SKYVANE_PANEL_DETAILS_DAY_CLICKS_H_
#define SKYVANE_PANEL_DETAILS_DAY_CLICKS_H_

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "panel/details/day_popup.h"
#include "panel/refresh/forecast_refresh.h"
#include "panel/sources/day_details.h"

class QWidget;

namespace skyvane {

class DayClicks : public QObject {
  Q_OBJECT
 public:
  // Watches the controls of `columns` on the top-level `panel`; both must
  // outlive this object. `now_utc` tells the time, to mark the current hour.
  DayClicks(
      QWidget* panel, const ColumnControls& columns,
      std::function<QDateTime()> now_utc = [] { return QDateTime::currentDateTimeUtc(); });
  ~DayClicks() override;

  // The details of the days, column 0 first, after a refresh; an open popup
  // closes.
  void SetDays(std::vector<DayDetails> days);
  const std::vector<DayDetails>& Days() const { return days_; }

  // Opens the popup of `column` as a click would; false when that column
  // has no details.
  bool Open(int column);
  void Close();
  // The popup while it shows, else nullptr.
  DayPopup* ShownPopup() const;
  // The column whose popup shows.
  std::optional<int> OpenColumn() const;

  // The current hour of a day's place, when `day` is that place's today.
  static std::optional<int> CurrentHour(const DayDetails& day, const QDateTime& now_utc);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The column whose controls hold `global_pos`, if any.
  std::optional<int> ColumnAt(const QPoint& global_pos) const;
  void PressedOutside(const QPoint& global_pos);

  QWidget* panel_;
  ColumnControls columns_;
  std::function<QDateTime()> now_utc_;
  QHash<QObject*, int> column_of_;
  std::vector<DayDetails> days_;
  std::unique_ptr<DayPopup> popup_;
  std::optional<int> open_column_;
  std::optional<int> pressed_column_;
  QPoint press_point_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_DETAILS_DAY_CLICKS_H_
