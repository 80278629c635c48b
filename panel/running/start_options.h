// The options a start gives the panel (--location, --url,
// --refresh-minutes), applied as that start applies them: by the start
// itself, and by the running panel for a later start that handed them over.
#ifndef SKYVANE_PANEL_RUNNING_START_OPTIONS_H_
#define SKYVANE_PANEL_RUNNING_START_OPTIONS_H_

#include <QString>

#include "panel/instance/panel_command.h"
#include "panel/settings/settings_store.h"
#include "panel/skyvane_form.h"

namespace skyvane {

// The interval in the panel's settings ("set" / "refreshMinutes").
inline constexpr char kRefreshMinutesKey[] = "refreshMinutes";

// The interval kept in `settings`; 0 when none is kept. A kept text that is
// no whole number of minutes from 0 to kMaxRefreshMinutes is reported in
// one line on standard error and read as 0.
int SavedRefreshMinutes(const SettingsStore& settings);

// Applies the options of `command` to `form`: the place of --location is
// looked up and kept (an empty one forgets the kept place) and takes the
// place of an earlier --url; --url is used for this run; the unit of
// --units is kept ("" forgets it, so the locale's applies again); the
// interval of --refresh-minutes is kept and planned; the --source preference
// is kept (source_preference.h) for this refresh and later ones. Returns
// false, having applied
// nothing, when the place cannot be looked up; `*problem` then holds the
// one line to show. A setting that cannot be kept is reported on standard
// error and does not stop the rest.
bool ApplyStartOptions(Skyvane& form, const PanelCommand& command, QString* problem);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_RUNNING_START_OPTIONS_H_
