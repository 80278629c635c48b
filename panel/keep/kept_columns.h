// Showing a kept forecast in the panel's columns, moved on to today.
#ifndef SKYVANE_PANEL_KEEP_KEPT_COLUMNS_H_
#define SKYVANE_PANEL_KEEP_KEPT_COLUMNS_H_

#include <QDate>
#include <QString>

#include "panel/geometry/twips.h"
#include "panel/keep/kept_forecast.h"
#include "panel/refresh/forecast_refresh.h"

class QWidget;

namespace skyvane {

// Writes the days of `kept` from `today` on into `shown`: column 0 shows
// the kept day record of `today`, and so on, with the day texts of `today`
// (DayText). Columns past the kept days, or past the first day record that
// cannot be read, keep what they show. The document is read into hidden
// controls made in `stage_parent` (placed with `scale`) first, so `shown`
// changes only in the columns written. Returns how many columns were
// written: 0 when no day of `kept` is `today` or later (or `today` is before
// its first day), and then nothing changes. Raises nothing.
int ShowKeptForecast(const KeptForecast& kept, QDate today, const QString& icon_folder,
                     QWidget* stage_parent, const TwipScale& scale, const ColumnControls& shown);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_KEEP_KEPT_COLUMNS_H_
