#include "panel/keep/kept_columns.h"

#include <QWidget>
#include <algorithm>
#include <cstddef>

#include "panel/controls/panel_controls.h"
#include "panel/refresh/column_set.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

void CopyLabel(const PanelLabel& from, PanelLabel& to) {
  to.SetCaption(from.Caption(), from.WholeText());
  to.SetForeColor(from.ForeColor());
}

}  // namespace

int ShowKeptForecast(const KeptForecast& kept, QDate today, const QString& icon_folder,
                     QWidget* stage_parent, const TwipScale& scale, const ColumnControls& shown) {
  const qint64 shift = kept.first_day.daysTo(today);
  if (shift < 0 || shift >= kColumnCount) return 0;
  QWidget stage(stage_parent);
  stage.hide();
  stage.resize(stage_parent->size());
  const ColumnSet staged = CreateColumnSet(&stage, scale);
  int read = kColumnCount;  // columns read whole
  try {
    FillColumns(kept.document, kept.first_day, icon_folder, staged.columns, &read);
    read = kColumnCount;
  } catch (const RunError&) {
    // `read` holds the column that failed; those before it are whole.
  }
  const int count = std::max(0, read - static_cast<int>(shift));
  for (int c = 0; c < count; ++c) {
    const auto from = static_cast<std::size_t>(c + shift);
    const auto to = static_cast<std::size_t>(c);
    shown.label1[to]->SetCaption(DayText(today, c) + QChar(kDaySign));
    CopyLabel(*staged.columns.label2[from], *shown.label2[to]);
    shown.image1[to]->ShowPictureOf(*staged.columns.image1[from]);
    CopyLabel(*staged.columns.label3[from], *shown.label3[to]);
  }
  return count;
}

}  // namespace skyvane
