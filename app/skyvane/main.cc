// The panel program: one panel per user and display. The first start
// creates the form, runs its load handler, shows it and then takes the
// commands of later starts, which hand them over and exit (or, for
// inspection, it prints its controls or renders it to a picture and exits
// without talking to any running panel).
// Exit status: 0 success; 1 no display or one that cannot be opened, no
// running panel to ask (--status, --quit) or one that does not answer, or
// the inspection output could not be written; 2 a bad command line or a
// place that cannot be found.
#include <QApplication>
#include <QDateTime>
#include <QPixmap>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "app/common/display_check.h"
#include "app/skyvane/command_line.h"
#include "app/skyvane/first_paint_trace.h"
#include "app/skyvane/start_platform.h"
#include "panel/controls/control_dump.h"
#include "panel/details/day_clicks.h"
#include "panel/details/day_popup.h"
#include "panel/instance/instance_address.h"
#include "panel/instance/instance_channel.h"
#include "panel/instance/start_hand_over.h"
#include "panel/running/panel_companions.h"
#include "panel/running/start_options.h"
#include "panel/running/ui_translation.h"
#include "panel/settings/settings_store.h"
#include "panel/skyvane_form.h"
#include "panel/texts/terminal_text.h"
#include "panel/weather/weather_language.h"
#include "text/run_error.h"

namespace {

using skyvane::kExitFailure;
using skyvane::kExitSuccess;
using skyvane::kExitUsage;
using skyvane::ReportLine;

// Prints the day details or renders a day's popup, for a loaded panel.
int InspectDetails(const skyvane::CommandLine& command_line, skyvane::Skyvane& form) {
  const std::vector<skyvane::DayDetails>& days = form.Details();
  if (const auto& snapshot = command_line.DetailsSnapshotRequest()) {
    if (static_cast<std::size_t>(snapshot->day) >= days.size()) {
      ReportLine(QStringLiteral("no details of day %1 to render: the forecast has %2")
                     .arg(snapshot->day)
                     .arg(days.size()));
      return kExitFailure;
    }
    const skyvane::DayDetails& day = days[static_cast<std::size_t>(snapshot->day)];
    skyvane::DayPopup popup;
    popup.SetDay(day, skyvane::DayClicks::CurrentHour(day, QDateTime::currentDateTimeUtc()));
    if (!popup.grab().save(snapshot->file, "PNG")) {
      ReportLine(QStringLiteral("cannot write the snapshot to \"%1\"").arg(snapshot->file));
      return kExitFailure;
    }
  }
  if (command_line.DumpsDetails()) {
    for (std::size_t day = 0; day < days.size(); ++day) {
      std::printf("%s\n", skyvane::DayDetailsJson(days[day], static_cast<int>(day)).c_str());
    }
    if (std::fflush(stdout) != 0) return kExitFailure;
  }
  return kExitSuccess;
}

// Loads the panel once and prints its controls or renders it.
int Inspect(const skyvane::CommandLine& command_line, skyvane::Skyvane& form) {
  form.Form_Load();
  if (const std::optional<QString> file = command_line.SnapshotFile()) {
    if (!form.grab().save(*file, "PNG")) {
      ReportLine(QStringLiteral("cannot write the snapshot to \"%1\"").arg(*file));
      return kExitFailure;
    }
  }
  if (command_line.Dumps()) {
    for (const skyvane::ControlState& state : form.ControlStates()) {
      std::printf("%s\n", skyvane::ControlStateJson(state).c_str());
    }
    if (std::fflush(stdout) != 0) return kExitFailure;
  }
  return InspectDetails(command_line, form);
}

// The channel of this display's one panel; nothing when its socket cannot
// be named, which is reported.
std::unique_ptr<skyvane::InstanceChannel> OpenChannel(const QString& display_name) {
  try {
    return std::make_unique<skyvane::InstanceChannel>(skyvane::PanelSocketPath(display_name));
  } catch (const skyvane::RunError& error) {
    ReportLine(QString::fromStdString(error.what()));
    return nullptr;
  }
}

// The form with the options kept in the settings; an unreadable settings
// file is reported once and read as empty.
skyvane::SkyvaneOptions KeptOptions() {
  const skyvane::SettingsStore settings;
  if (const QString unreadable = settings.ReadProblem(); !unreadable.isEmpty()) {
    ReportLine(skyvane::EscapeControls(
        QStringLiteral("cannot read the settings: %1; using the defaults").arg(unreadable)));
  }
  skyvane::SkyvaneOptions options;
  options.language_code = skyvane::InterfaceLanguageCode();
  options.refresh_minutes = skyvane::SavedRefreshMinutes(settings);
  options.spread = skyvane::RandomRefreshSpread;
  // For tests: retries counted in milliseconds rather than minutes.
  bool unit_set = false;
  const int unit_ms = qEnvironmentVariableIntValue("SKYVANE_RETRY_UNIT_MS", &unit_set);
  if (unit_set && unit_ms > 0) options.retry_unit = std::chrono::milliseconds(unit_ms);
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const auto main_started = std::chrono::steady_clock::now();
  const QString display_name = skyvane::DisplayName(argc, argv);
  skyvane::ChoosePlatform(argc, argv);
  const skyvane::DisplayCheck display = skyvane::CheckDisplay(argc, argv);
  if (display.result != skyvane::DisplayCheck::Result::kUsable) {
    return skyvane::FailWithoutDisplay(argc, argv, display);
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("skyvane"));
  QApplication::setApplicationVersion(QStringLiteral(SKYVANE_VERSION));
  skyvane::InstallUiTranslation(QLocale::system(), QCoreApplication::applicationDirPath());

  skyvane::CommandLine command_line;
  if (!command_line.Parse(QApplication::arguments())) return kExitUsage;
  command_line.Parser().process(app);  // answers --help and --version
  const skyvane::PanelCommand& command = command_line.Command();

  // A later start hands its command to the running panel and is done.
  std::unique_ptr<skyvane::InstanceChannel> channel;
  if (!command_line.Inspects()) {
    channel = OpenChannel(display_name);
    if (!channel && (command.status || command.quit)) return kExitFailure;
    if (channel) {
      if (const std::optional<int> done = HandOverOrClaim(command, channel.get())) return *done;
    }
  }

  try {
    skyvane::Skyvane form(KeptOptions());
    skyvane::ConnectChannel(channel.get(), form);
    QString problem;
    if (!skyvane::ApplyStartOptions(form, command, &problem)) {
      ReportLine(skyvane::EscapeControls(problem));  // it may quote the geocoding service
      return kExitUsage;
    }
    if (command.reset_position && !form.Positions().Forget()) {
      ReportLine(
          QStringLiteral("cannot forget the saved position: %1").arg(form.Positions().LastError()));
    }
    if (command_line.Inspects()) return Inspect(command_line, form);

    skyvane::PanelCompanions companions(form);
    if (!form.CloseRequested()) form.Form_Load(true);
    if (form.CloseRequested()) return kExitSuccess;
    skyvane::TraceFirstPaint(form, main_started);
    form.show();
    // Only now: showing a window closes any open popup, so a tray menu
    // opened while the first forecast is fetched would vanish under the
    // pointer when the form shows.
    companions.ShowTray();
    return QApplication::exec();
  } catch (const skyvane::RunError& error) {
    ReportLine(QString::fromStdString(error.what()));
    return kExitFailure;
  }
}
