// What keeps the shown panel company while it runs: the tray icon, the
// watch for the machine's wake-up, the autostart entry and the channel of
// later starts' commands, each wired to the form.
//
// The companions report through signals and the form acts; the form never
// reaches into them. Created after the form, destroyed before it.
#ifndef SKYVANE_PANEL_RUNNING_PANEL_COMPANIONS_H_
#define SKYVANE_PANEL_RUNNING_PANEL_COMPANIONS_H_

#include <QIcon>

#include "panel/desktop/panel_tray.h"
#include "panel/instance/instance_channel.h"
#include "panel/instance/panel_command.h"
#include "panel/schedule/network_watch.h"
#include "panel/schedule/sleep_watch.h"
#include "panel/skyvane_form.h"

namespace skyvane {

// The application icon from the icon theme (installed with the program),
// else the one built into the program.
QIcon ApplicationIcon();

// Writes (`on`) or removes the autostart entry that starts `form` as it now
// is; false when that failed, which is reported on standard error.
bool SetStartAtLogin(const Skyvane& form, bool on);

// What the running panel does for a later start's command: options first,
// as that start would have applied them (and the autostart entry, when
// there is one, made to start the panel as it now is), then a refresh where
// one is due; --quit closes the form.
void ActOnCommand(Skyvane& form, const PanelCommand& command);

// Makes `channel` (nullable: no channel) hand its commands to `form` and
// answer with the form's status. Both must outlive the connection.
void ConnectChannel(InstanceChannel* channel, Skyvane& form);

// The tray icon, the wake watch and the network watch of a shown panel,
// wired to `form`, which must outlive them.
class PanelCompanions {
 public:
  explicit PanelCompanions(Skyvane& form);

  // Shows the tray icon. Call it once the form is shown: showing a window
  // closes every open popup, a tray menu opened meanwhile too.
  void ShowTray() { tray_.Show(); }
  PanelCompanions(const PanelCompanions&) = delete;
  PanelCompanions& operator=(const PanelCompanions&) = delete;

 private:
  SleepWatch sleep_watch_;
  SystemNetworkWatch network_watch_;
  PanelTray tray_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_RUNNING_PANEL_COMPANIONS_H_
