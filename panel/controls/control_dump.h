// One-line JSON descriptions of the form and its controls, the output of the
// panel's --dump-controls inspection.
#ifndef SKYVANE_PANEL_CONTROLS_CONTROL_DUMP_H_
#define SKYVANE_PANEL_CONTROLS_CONTROL_DUMP_H_

#include <string>

#include "panel/controls/panel_controls.h"

namespace skyvane {

// A JSON object on one line (UTF-8, no line end) with, in this order:
// "control" (name), "index" (null for the form), "caption" (null for
// images), "foreColor" (the 0x00BBGGRR integer; null where there is none),
// "left", "top", "width", "height" (twips), and for images "picture" (the
// loaded file's full path, or null).
std::string ControlStateJson(const ControlState& state);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_CONTROLS_CONTROL_DUMP_H_
