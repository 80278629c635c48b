// The 28 controls of the seven columns, made as the stored design describes
// them (layout_table.h), and the copy of what one set shows into another.
//
// The form makes one set, the one on the screen. A refresh that must not
// touch the screen until the whole forecast has been read fills a second
// set, made in a hidden child of the form (so that pictures are read for
// the form's screen), and copies it over only when it ran to the end.
#ifndef SKYVANE_PANEL_REFRESH_COLUMN_SET_H_
#define SKYVANE_PANEL_REFRESH_COLUMN_SET_H_

#include <vector>

#include "panel/controls/panel_controls.h"
#include "panel/geometry/twips.h"
#include "panel/refresh/forecast_refresh.h"

class QWidget;

namespace skyvane {

struct ColumnSet {
  ColumnControls columns;
  // Every control in creation order; owned by the parent as Qt children.
  std::vector<PanelControl*> in_order;
};

// Creates the controls as children of `parent`, placed with `scale`. The
// weather and temperature labels may grow up to the next column to fit their
// captions (PanelLabel::SetFitRoom).
ColumnSet CreateColumnSet(QWidget* parent, const TwipScale& scale);

// Makes `to` show what `from` shows: each label's caption with its whole
// text and fore colour,
// each image's picture (ShowPictureOf). Reads no file and cannot fail.
void CopyColumns(const ColumnControls& from, const ColumnControls& to);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_REFRESH_COLUMN_SET_H_
