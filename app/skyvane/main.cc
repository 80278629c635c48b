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
#include <QIcon>
#include <QPixmap>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "app/common/display_check.h"
#include "app/skyvane/command_line.h"
#include "app/skyvane/start_options.h"
#include "panel/autostart_entry.h"
#include "panel/control_dump.h"
#include "panel/forecast/weather_language.h"
#include "panel/instance_address.h"
#include "panel/instance_channel.h"
#include "panel/panel_tray.h"
#include "panel/settings_store.h"
#include "panel/skyvane_form.h"
#include "panel/sleep_watch.h"
#include "panel/terminal_text.h"
#include "text/run_error.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// How long a later start waits for the running panel's answer; a panel
// answers in milliseconds, since its fetches keep its event loop going.
constexpr std::chrono::milliseconds kHandOverLimit{5'000};
// How a panel's answer begins when it refused the command.
constexpr char kErrorAnswer[] = "{\"error\":";

// True for the options that only print a text: help and version.
bool AsksForText(const char* arg) {
  for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
    if (std::strcmp(arg, option) == 0) return true;
  }
  return false;
}

// True for `arg` naming the long option `option`, with or without a value
// after "=".
bool IsOption(const char* arg, const char* option) {
  if (std::strncmp(arg, "--", 2) != 0) return false;
  const std::size_t length = std::strlen(option);
  return std::strncmp(arg + 2, option, length) == 0 &&
         (arg[2 + length] == '\0' || arg[2 + length] == '=');
}

// The options that never show a window need no display: inspecting the
// loaded panel, and talking to the running one. Unless a platform or an X
// display was chosen, they run on the offscreen platform.
void ChooseOffscreenWithoutWindow(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--") == 0) return;
    if (AsksForText(arg)) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      return;
    }
    for (const char* windowless : {skyvane::kDumpControlsOption, skyvane::kSnapshotOption,
                                   skyvane::kStatusOption, skyvane::kQuitOption}) {
      if (IsOption(arg, windowless)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return;
      }
    }
  }
}

// Qt's own option that chooses the platform.
bool ChoosesPlatform(int argc, char** argv) {
  return skyvane::QtOptionValue(argc, argv, skyvane::kQtPlatformOption).has_value();
}

// The display the panel shows on, which with the user names its one
// instance: Qt's -display option, else DISPLAY, else WAYLAND_DISPLAY; empty
// without any.
QString DisplayName(int argc, char** argv) {
  if (const std::optional<std::string> chosen =
          skyvane::QtOptionValue(argc, argv, skyvane::kQtDisplayOption)) {
    return QString::fromLocal8Bit(*chosen);
  }
  const QString x11 = qEnvironmentVariable("DISPLAY");
  return x11.isEmpty() ? qEnvironmentVariable("WAYLAND_DISPLAY") : x11;
}

// A Wayland client cannot place its own window, so the panel would lose its
// default place and its position memory there. When the session also runs
// XWayland (DISPLAY is set) and the user chose no platform, use X11.
void PreferXWaylandOnWayland(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY")) {
    return;
  }
  if (ChoosesPlatform(argc, argv)) return;
  qputenv("QT_QPA_PLATFORM", "xcb");
}

// Without a display the panel cannot start (and Qt would abort with a core
// dump); a mistaken command line is still reported as such, since it is the
// first thing to mend.
int FailWithoutDisplay(int argc, char** argv, const skyvane::DisplayCheck& display) {
  QStringList arguments;
  for (const std::string& arg : skyvane::WithoutQtDisplayOptions(argc, argv)) {
    arguments.append(QString::fromLocal8Bit(arg));
  }
  skyvane::CommandLine command_line;
  if (!command_line.Parse(arguments)) return kExitUsage;
  if (display.result == skyvane::DisplayCheck::Result::kNone) {
    std::fprintf(stderr,
                 "skyvane: no display to show the panel on (neither DISPLAY nor WAYLAND_DISPLAY "
                 "is set)\n");
  } else {
    std::fprintf(stderr, "skyvane: cannot open the display \"%s\" to show the panel on\n",
                 display.display.c_str());
  }
  return kExitFailure;
}

void Report(const QString& line) {
  std::fprintf(stderr, "skyvane: %s\n", line.toLocal8Bit().constData());
  std::fflush(stderr);
}

// The application icon from the icon theme (installed with the program),
// else the one built in.
QIcon ApplicationIcon() {
  return QIcon::fromTheme(QStringLiteral("skyvane"),
                          QIcon(QStringLiteral(":/skyvane/skyvane.png")));
}

// The program and the options a start at login needs to show this panel
// again: the address given with --url; the rest is kept in the settings.
QStringList AutostartCommand(const skyvane::Skyvane& form) {
  QStringList command{QCoreApplication::applicationFilePath()};
  if (form.Options().url) command << QStringLiteral("--url") << *form.Options().url;
  return command;
}

// Writes (`on`) or removes the autostart entry; false when that failed,
// which is reported.
bool SetStartAtLogin(const skyvane::Skyvane& form, bool on) {
  skyvane::AutostartEntry entry;
  const bool done =
      on ? entry.Write(skyvane::MenuEntryText(), AutostartCommand(form)) : entry.Remove();
  if (!done) Report(entry.LastError());
  return done;
}

// What the running panel does for a later start's command: options first,
// as that start would have applied them (and the autostart entry, when there
// is one, made to start the panel as it now is), then a refresh where one
// is due.
void ActOnCommand(skyvane::Skyvane& form, const skyvane::PanelCommand& command) {
  if (command.quit) {
    form.RequestClose();
    return;
  }
  if (command.reset_position) form.ResetPosition();
  bool refresh = command.refresh;
  if (command.AppliesOptions()) {
    QString problem;
    if (skyvane::ApplyStartOptions(form, command, &problem)) {
      refresh = true;
      if (skyvane::AutostartEntry().IsOn()) SetStartAtLogin(form, true);
    } else if (!form.CloseRequested()) {  // a quit meanwhile cuts a lookup short
      Report(skyvane::EscapeControls(problem));
      form.ReportProblem(problem);
    }
  }
  if (refresh) form.Refresh();
}

// The panel's answer on standard output, for --status. The panel writes its
// texts escaped already; whatever else is listening at its socket may not.
int PrintAnswer(const QByteArray& reply) {
  std::printf("%s\n", skyvane::EscapeControls(QString::fromUtf8(reply)).toUtf8().constData());
  return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

// Hands this start's command to a panel that runs on the display, claiming
// the display when none does. Returns the exit status when this start is
// done (another panel took the command, or there is none to ask), nothing
// when this program is to be the panel (`channel` then listens, unless the
// socket could not be had, which is reported).
std::optional<int> HandOverOrClaim(const skyvane::PanelCommand& command,
                                   skyvane::InstanceChannel* channel) {
  // A start that found no panel and then lost the race to claim the
  // display to another start tries that one; more than that is no race.
  constexpr int kAttempts = 3;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const skyvane::HandOverResult handed =
        skyvane::HandOver(channel->SocketPath(), command, kHandOverLimit);
    if (handed.outcome == skyvane::HandOverResult::kAnswered) {
      if (handed.reply.startsWith(kErrorAnswer)) {
        Report(QStringLiteral("the running panel refused the command: %1")
                   .arg(skyvane::EscapeControls(QString::fromUtf8(handed.reply))));
        return kExitFailure;
      }
      return command.status ? PrintAnswer(handed.reply) : kExitSuccess;
    }
    if (handed.outcome == skyvane::HandOverResult::kNoAnswer) {
      Report(QStringLiteral("the panel that runs on this display does not answer at %1")
                 .arg(channel->SocketPath()));
      return kExitFailure;
    }
    if (command.status || command.quit) {
      Report(QStringLiteral("no panel runs on this display"));
      return kExitFailure;
    }
    try {
      if (channel->Listen() == skyvane::InstanceChannel::Claim::kListening) return std::nullopt;
    } catch (const skyvane::RunError& error) {
      Report(QStringLiteral("%1; later starts will open panels of their own")
                 .arg(QString::fromStdString(error.what())));
      return std::nullopt;
    }
  }
  Report(QStringLiteral("another start keeps claiming the display; giving up"));
  return kExitFailure;
}

// Loads the panel once and prints its controls or renders it.
int Inspect(const skyvane::CommandLine& command_line, skyvane::Skyvane& form) {
  form.Form_Load();
  if (const std::optional<QString> file = command_line.SnapshotFile()) {
    if (!form.grab().save(*file, "PNG")) {
      Report(QStringLiteral("cannot write the snapshot to \"%1\"").arg(*file));
      return kExitFailure;
    }
  }
  if (command_line.Dumps()) {
    for (const skyvane::ControlState& state : form.ControlStates()) {
      std::printf("%s\n", skyvane::ControlStateJson(state).c_str());
    }
    if (std::fflush(stdout) != 0) return kExitFailure;
  }
  return kExitSuccess;
}

// Wires the tray icon to the form: the tray reports, the form and the
// autostart entry act. The icon is shown apart, once the form is.
void WireTray(skyvane::PanelTray& tray, skyvane::Skyvane& form) {
  tray.SetStartAtLogin(skyvane::AutostartEntry().IsOn());
  QObject::connect(&tray, &skyvane::PanelTray::refreshRequested, &form, &skyvane::Skyvane::Refresh);
  QObject::connect(&tray, &skyvane::PanelTray::resetPositionRequested, &form,
                   &skyvane::Skyvane::ResetPosition);
  QObject::connect(&tray, &skyvane::PanelTray::quitRequested, &form,
                   &skyvane::Skyvane::RequestClose);
  QObject::connect(&tray, &skyvane::PanelTray::startAtLoginToggled, &form, [&tray, &form](bool on) {
    if (!SetStartAtLogin(form, on)) tray.SetStartAtLogin(!on);
  });
  QObject::connect(&form, &skyvane::Skyvane::statusChanged, &tray, &skyvane::PanelTray::SetStatus);
  QObject::connect(&form, &skyvane::Skyvane::todayIconChanged, &tray,
                   &skyvane::PanelTray::SetTodayIcon);
}

}  // namespace

int main(int argc, char** argv) {
  const QString display_name = DisplayName(argc, argv);
  ChooseOffscreenWithoutWindow(argc, argv);
  PreferXWaylandOnWayland(argc, argv);
  const skyvane::DisplayCheck display = skyvane::CheckDisplay(argc, argv);
  if (display.result != skyvane::DisplayCheck::Result::kUsable) {
    return FailWithoutDisplay(argc, argv, display);
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("skyvane"));
  QApplication::setApplicationVersion(QStringLiteral(SKYVANE_VERSION));

  skyvane::CommandLine command_line;
  if (!command_line.Parse(QApplication::arguments())) return kExitUsage;
  command_line.Parser().process(app);  // answers --help and --version
  const skyvane::PanelCommand& command = command_line.Command();

  std::unique_ptr<skyvane::InstanceChannel> channel;
  if (!command_line.Inspects()) {
    try {
      channel = std::make_unique<skyvane::InstanceChannel>(skyvane::PanelSocketPath(display_name));
    } catch (const skyvane::RunError& error) {
      Report(QString::fromStdString(error.what()));
      if (command.status || command.quit) return kExitFailure;
    }
    if (channel) {
      if (const std::optional<int> done = HandOverOrClaim(command, channel.get())) return *done;
    }
  }

  try {
    if (const QString unreadable = skyvane::SettingsStore().ReadProblem(); !unreadable.isEmpty()) {
      Report(skyvane::EscapeControls(
          QStringLiteral("cannot read the settings: %1; using the defaults").arg(unreadable)));
    }
    skyvane::SkyvaneOptions options;
    options.language_code = skyvane::InterfaceLanguageCode();
    options.refresh_minutes = skyvane::SavedRefreshMinutes(skyvane::SettingsStore());
    skyvane::Skyvane form(options);
    if (channel) {
      QObject::connect(channel.get(), &skyvane::InstanceChannel::commandReceived, &form,
                       [&form](const skyvane::PanelCommand& later) { ActOnCommand(form, later); });
      QObject::connect(&form, &skyvane::Skyvane::statusChanged, channel.get(),
                       &skyvane::InstanceChannel::SetStatus);
    }
    QString problem;
    if (!skyvane::ApplyStartOptions(form, command, &problem)) {
      // The reason may quote the geocoding service's own words.
      Report(skyvane::EscapeControls(problem));
      return kExitUsage;
    }
    if (command.reset_position && !form.Positions().Forget()) {
      Report(
          QStringLiteral("cannot forget the saved position: %1").arg(form.Positions().LastError()));
    }
    if (command_line.Inspects()) return Inspect(command_line, form);

    skyvane::SleepWatch sleep_watch;
    QObject::connect(&sleep_watch, &skyvane::SleepWatch::woke, &form,
                     &skyvane::Skyvane::MachineWoke);
    skyvane::PanelTray tray(ApplicationIcon());
    WireTray(tray, form);
    if (!form.CloseRequested()) form.Form_Load();
    if (form.CloseRequested()) return kExitSuccess;
    form.show();
    // Only now: showing a window closes any open popup, so a tray menu
    // opened while the first forecast is fetched would vanish under the
    // pointer when the form shows.
    tray.Show();
    return QApplication::exec();
  } catch (const skyvane::RunError& error) {
    Report(QString::fromStdString(error.what()));
    return kExitFailure;
  }
}
