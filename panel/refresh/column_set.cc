#include "panel/refresh/column_set.h"

#include "panel/controls/layout_table.h"

namespace skyvane {

namespace {

// Pixels kept free between a grown label and the next column.
constexpr int kFitGapPixels = 2;

void CopyLabel(const PanelLabel& from, PanelLabel& to) {
  to.SetCaption(from.Caption(), from.WholeText());
  to.SetForeColor(from.ForeColor());
}

// The pixel a label of `design`'s array and column may grow to: one short of
// the next column's label of the same array; the last column's label keeps
// its own width.
int FitRight(const ControlDesign& design, const TwipScale& scale) {
  for (const ControlDesign& next : kControlDesigns) {
    if (next.array == design.array && next.index == design.index + 1) {
      return scale.ToPixels(next.left) - kFitGapPixels;
    }
  }
  return scale.ToPixels(design.left + design.width);
}

}  // namespace

ColumnSet CreateColumnSet(QWidget* parent, const TwipScale& scale) {
  ColumnSet set;
  set.in_order.reserve(kControlDesigns.size());
  for (const ControlDesign& design : kControlDesigns) {
    const auto index = static_cast<std::size_t>(design.index);
    if (design.kind == ControlKind::kImage) {
      set.columns.image1[index] = new PanelImage(design, scale, parent);
      set.in_order.push_back(set.columns.image1[index]);
      continue;
    }
    auto* label = new PanelLabel(design, scale, parent);
    if (design.array == "Label1") {
      set.columns.label1[index] = label;
    } else if (design.array == "Label2") {
      set.columns.label2[index] = label;
      label->SetFitRoom(FitRight(design, scale));
    } else {
      set.columns.label3[index] = label;
      label->SetFitRoom(FitRight(design, scale));
    }
    set.in_order.push_back(label);
  }
  return set;
}

void CopyColumns(const ColumnControls& from, const ColumnControls& to) {
  for (std::size_t c = 0; c < static_cast<std::size_t>(kColumnCount); ++c) {
    CopyLabel(*from.label1[c], *to.label1[c]);
    to.label1[c]->setAccessibleName(from.label1[c]->accessibleName());
    CopyLabel(*from.label2[c], *to.label2[c]);
    to.image1[c]->ShowPictureOf(*from.image1[c]);
    CopyLabel(*from.label3[c], *to.label3[c]);
  }
}

}  // namespace skyvane
