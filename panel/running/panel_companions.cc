#include "panel/running/panel_companions.h"

#include <QCoreApplication>
#include <QStringList>

#include "panel/desktop/autostart_entry.h"
#include "panel/instance/start_hand_over.h"
#include "panel/running/start_options.h"
#include "panel/texts/terminal_text.h"

namespace skyvane {

namespace {

// The program and the options a start at login needs to show this panel
// again: the address given with --url; the rest is kept in the settings.
QStringList AutostartCommand(const Skyvane& form) {
  QStringList command{QCoreApplication::applicationFilePath()};
  if (form.Options().url) command << QStringLiteral("--url") << *form.Options().url;
  return command;
}

}  // namespace

QIcon ApplicationIcon() {
  return QIcon::fromTheme(QStringLiteral("skyvane"),
                          QIcon(QStringLiteral(":/skyvane/skyvane.png")));
}

bool SetStartAtLogin(const Skyvane& form, bool on) {
  AutostartEntry entry;
  const bool done = on ? entry.Write(MenuEntryText(), AutostartCommand(form)) : entry.Remove();
  if (!done) ReportLine(entry.LastError());
  return done;
}

void ActOnCommand(Skyvane& form, const PanelCommand& command) {
  if (command.quit) {
    form.RequestClose();
    return;
  }
  if (command.reset_position) form.ResetPosition();
  bool refresh = command.refresh;
  if (command.AppliesOptions()) {
    QString problem;
    if (ApplyStartOptions(form, command, &problem)) {
      refresh = true;
      if (AutostartEntry().IsOn()) SetStartAtLogin(form, true);
    } else if (!form.CloseRequested()) {  // a quit meanwhile cuts a lookup short
      ReportLine(EscapeControls(problem));
      form.ReportProblem(problem);
    }
  }
  if (refresh) form.Refresh();
}

void ConnectChannel(InstanceChannel* channel, Skyvane& form) {
  if (!channel) return;
  QObject::connect(channel, &InstanceChannel::commandReceived, &form,
                   [&form](const PanelCommand& later) { ActOnCommand(form, later); });
  QObject::connect(&form, &Skyvane::statusChanged, channel, &InstanceChannel::SetStatus);
}

PanelCompanions::PanelCompanions(Skyvane& form) : tray_(ApplicationIcon()) {
  QObject::connect(&sleep_watch_, &SleepWatch::woke, &form, &Skyvane::MachineWoke);
  form.SetOnline(network_watch_.Online());
  QObject::connect(&network_watch_, &NetworkWatch::onlineChanged, &form, &Skyvane::SetOnline);
  tray_.SetStartAtLogin(AutostartEntry().IsOn());
  // Queued: the refresh pumps events while it fetches, and run from inside
  // the menu's own handling of the chosen item it would let the menu, opened
  // again meanwhile, be closed under the pointer when that handling ends.
  QObject::connect(&tray_, &PanelTray::refreshRequested, &form, &Skyvane::Refresh,
                   Qt::QueuedConnection);
  QObject::connect(&tray_, &PanelTray::resetPositionRequested, &form, &Skyvane::ResetPosition);
  QObject::connect(&tray_, &PanelTray::quitRequested, &form, &Skyvane::RequestClose);
  PanelTray* tray = &tray_;
  QObject::connect(&tray_, &PanelTray::startAtLoginToggled, &form, [tray, &form](bool on) {
    if (!SetStartAtLogin(form, on)) tray->SetStartAtLogin(!on);
  });
  QObject::connect(&form, &Skyvane::statusChanged, &tray_, &PanelTray::SetStatus);
  QObject::connect(&form, &Skyvane::todayIconChanged, &tray_, &PanelTray::SetTodayIcon);
}

}  // namespace skyvane
