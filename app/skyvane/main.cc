// The panel program: creates the form, runs its load handler, then shows it
// (or, for inspection, prints its controls or renders it to a picture).
// Exit status: 0 success; 1 no display or one that cannot be opened, or the
// inspection output could not be written; 2 a bad command line.
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QPixmap>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "app/common/display_check.h"
#include "panel/control_dump.h"
#include "panel/forecast/place_lookup.h"
#include "panel/forecast/saved_place.h"
#include "panel/forecast/weather_language.h"
#include "panel/skyvane_form.h"
#include "panel/terminal_text.h"
#include "text/run_error.h"

namespace {

constexpr char kDumpControls[] = "dump-controls";
constexpr char kSnapshot[] = "snapshot";
constexpr char kResetPosition[] = "reset-position";
constexpr char kLocation[] = "location";

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// True for the options that only print a text: help and version.
bool AsksForText(const char* arg) {
  for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"}) {
    if (std::strcmp(arg, option) == 0) return true;
  }
  return false;
}

// The inspection options never show a window, so they need no display:
// unless a platform was chosen, they run on the offscreen one.
void ChooseOffscreenForInspection(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--") == 0) return;
    if (AsksForText(arg)) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      return;
    }
    if (std::strncmp(arg, "--", 2) != 0) continue;
    if (std::strcmp(arg + 2, kDumpControls) == 0 ||
        std::strncmp(arg + 2, kSnapshot, std::strlen(kSnapshot)) == 0) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      return;
    }
  }
}

// Qt's own option that chooses the platform.
bool ChoosesPlatform(int argc, char** argv) {
  return skyvane::QtOptionValue(argc, argv, skyvane::kQtPlatformOption).has_value();
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

// The program's options; the parser itself needs no application object.
struct CommandLine {
  CommandLine() {
    parser.setApplicationDescription(
        QStringLiteral("A translucent desktop panel with the seven-day weather forecast."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(url_option);
    parser.addOption(location_option);
    parser.addOption(dump_option);
    parser.addOption(snapshot_option);
    parser.addOption(reset_option);
  }

  // Parses `arguments` (the program's name first); on a mistake, says what
  // it is on standard error and returns false.
  bool Parse(const QStringList& arguments) {
    if (!parser.parse(arguments)) {
      std::fprintf(stderr, "skyvane: %s\n", parser.errorText().toLocal8Bit().constData());
      return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
      std::fprintf(stderr, "skyvane: unexpected argument \"%s\"; see --help\n",
                   parser.positionalArguments().first().toLocal8Bit().constData());
      return false;
    }
    return true;
  }

  QCommandLineParser parser;
  const QCommandLineOption url_option{
      QStringLiteral("url"),
      QStringLiteral("Fetch the forecast in the panel's own format from URL (http:// or "
                     "file://), this time only, instead of the weather of a place."),
      QStringLiteral("URL")};
  const QCommandLineOption location_option{
      QLatin1String(kLocation),
      QStringLiteral("Show the weather of PLACE from Open-Meteo and keep it for later starts. "
                     "PLACE is a place name (the first match of Open-Meteo's search) or "
                     "LAT,LON in decimal degrees; \"\" forgets the kept place."),
      QStringLiteral("PLACE")};
  const QCommandLineOption dump_option{
      QLatin1String(kDumpControls),
      QStringLiteral("Print the form and its 28 controls after loading, one JSON object per "
                     "line, then exit.")};
  const QCommandLineOption snapshot_option{
      QLatin1String(kSnapshot),
      QStringLiteral("Render the loaded panel into FILE (PNG), then exit."),
      QStringLiteral("FILE")};
  const QCommandLineOption reset_option{
      QLatin1String(kResetPosition),
      QStringLiteral("Forget where the panel was left and open it at the default place, near "
                     "the bottom-right corner of the screen.")};
};

// Without a display the panel cannot start (and Qt would abort with a core
// dump); a mistaken command line is still reported as such, since it is the
// first thing to mend.
int FailWithoutDisplay(int argc, char** argv, const skyvane::DisplayCheck& display) {
  QStringList arguments;
  for (const std::string& arg : skyvane::WithoutQtDisplayOptions(argc, argv)) {
    arguments.append(QString::fromLocal8Bit(arg));
  }
  CommandLine command_line;
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

}  // namespace

int main(int argc, char** argv) {
  ChooseOffscreenForInspection(argc, argv);
  PreferXWaylandOnWayland(argc, argv);
  const skyvane::DisplayCheck display = skyvane::CheckDisplay(argc, argv);
  if (display.result != skyvane::DisplayCheck::Result::kUsable) {
    return FailWithoutDisplay(argc, argv, display);
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("skyvane"));
  QApplication::setApplicationVersion(QStringLiteral(SKYVANE_VERSION));

  CommandLine command_line;
  if (!command_line.Parse(QApplication::arguments())) return kExitUsage;
  QCommandLineParser& parser = command_line.parser;
  parser.process(app);  // answers --help and --version

  skyvane::SkyvaneOptions options;
  if (parser.isSet(command_line.url_option)) options.url = parser.value(command_line.url_option);
  options.language_code = skyvane::InterfaceLanguageCode();
  const bool location_given = parser.isSet(command_line.location_option);
  const QString location = parser.value(command_line.location_option);
  if (location_given && !location.isEmpty()) {
    try {
      options.location =
          skyvane::LookUpPlace(location, options.services.geocoding, options.language_code,
                               [&options](const QString& url) {
                                 return skyvane::XMLHttpGET(url, options.fetch_limits);
                               });
    } catch (const skyvane::RunError& error) {
      // The reason may quote the geocoding service's own words.
      std::fprintf(
          stderr, "skyvane: %s\n",
          skyvane::EscapeControls(QString::fromStdString(error.what())).toLocal8Bit().constData());
      return kExitUsage;
    }
  }
  skyvane::Skyvane form(options);
  if (location_given) {
    skyvane::SettingsStore settings = form.Settings();
    const bool kept = options.location ? skyvane::SavePlace(settings, *options.location)
                                       : skyvane::ForgetPlace(settings);
    if (!kept) {
      std::fprintf(stderr, "skyvane: cannot %s the place: %s\n",
                   options.location ? "keep" : "forget",
                   settings.LastError().toLocal8Bit().constData());
    }
  }
  if (parser.isSet(command_line.reset_option) && !form.Positions().Forget()) {
    std::fprintf(stderr, "skyvane: cannot forget the saved position: %s\n",
                 form.Positions().LastError().toLocal8Bit().constData());
  }
  form.Form_Load();

  const bool dump = parser.isSet(command_line.dump_option);
  const bool snapshot = parser.isSet(command_line.snapshot_option);
  if (snapshot) {
    const QString file = parser.value(command_line.snapshot_option);
    if (!form.grab().save(file, "PNG")) {
      std::fprintf(stderr, "skyvane: cannot write the snapshot to \"%s\"\n",
                   file.toLocal8Bit().constData());
      return kExitFailure;
    }
  }
  if (dump) {
    for (const skyvane::ControlState& state : form.ControlStates()) {
      std::printf("%s\n", skyvane::ControlStateJson(state).c_str());
    }
    if (std::fflush(stdout) != 0) return kExitFailure;
  }
  if (dump || snapshot) return kExitSuccess;

  form.show();
  return QApplication::exec();
}
