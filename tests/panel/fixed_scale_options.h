// Options for a form made in a test: 15 twips to the pixel whatever the
// screen, and a forecast address that never answers.
#ifndef SKYVANE_TESTS_PANEL_FIXED_SCALE_OPTIONS_H_
#define SKYVANE_TESTS_PANEL_FIXED_SCALE_OPTIONS_H_

#include "panel/skyvane_form.h"

namespace skyvane {

inline SkyvaneOptions FixedScaleOptions() {
  SkyvaneOptions options;
  options.scale = TwipScale(kNominalTwipsPerPixel);
  options.url = QStringLiteral("file:///nonexistent");
  return options;
}

}  // namespace skyvane

#endif  // SKYVANE_TESTS_PANEL_FIXED_SCALE_OPTIONS_H_
