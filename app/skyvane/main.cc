// The panel program: creates the form, runs its load handler, then shows it
// (or, for inspection, prints its controls or renders it to a picture).
#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QPixmap>
#include <cstdio>
#include <cstring>

#include "panel/control_dump.h"
#include "panel/skyvane_form.h"

namespace {

constexpr char kDumpControls[] = "dump-controls";
constexpr char kSnapshot[] = "snapshot";
constexpr char kResetPosition[] = "reset-position";

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

// A Wayland client cannot place its own window, so the panel would lose its
// default place and its position memory there. When the session also runs
// XWayland (DISPLAY is set) and the user chose no platform, use X11.
void PreferXWaylandOnWayland(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY")) {
    return;
  }
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) return;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
}

// Without any display the platform would abort with a core dump; say why
// and stop instead.
bool HasDisplayOrChosenPlatform() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return true;
  if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    return true;
  }
  std::fprintf(stderr,
               "skyvane: no display to show the panel on (neither DISPLAY nor WAYLAND_DISPLAY "
               "is set)\n");
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  ChooseOffscreenForInspection(argc, argv);
  PreferXWaylandOnWayland(argc, argv);
  if (!HasDisplayOrChosenPlatform()) return 1;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("skyvane"));
  QApplication::setApplicationVersion(QStringLiteral(SKYVANE_VERSION));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("A translucent desktop panel with the seven-day weather forecast."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption url_option(
      QStringLiteral("url"),
      QStringLiteral("Fetch the forecast from URL (http:// or file://) instead of the "
                     "weather service."),
      QStringLiteral("URL"));
  const QCommandLineOption dump_option(
      QLatin1String(kDumpControls),
      QStringLiteral("Print the form and its 28 controls after loading, one JSON object per "
                     "line, then exit."));
  const QCommandLineOption snapshot_option(
      QLatin1String(kSnapshot),
      QStringLiteral("Render the loaded panel into FILE (PNG), then exit."),
      QStringLiteral("FILE"));
  parser.addOption(url_option);
  parser.addOption(dump_option);
  parser.addOption(snapshot_option);
  const QCommandLineOption reset_option(
      QLatin1String(kResetPosition),
      QStringLiteral("Forget where the panel was left and open it at the default place, near "
                     "the bottom-right corner of the screen."));
  parser.addOption(reset_option);
  parser.process(app);
  if (!parser.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "skyvane: unexpected argument \"%s\"; see --help\n",
                 parser.positionalArguments().first().toLocal8Bit().constData());
    return 2;
  }

  skyvane::SkyvaneOptions options;
  if (parser.isSet(url_option)) options.url = parser.value(url_option);
  skyvane::Skyvane form(options);
  if (parser.isSet(reset_option) && !form.Positions().Forget()) {
    std::fprintf(stderr, "skyvane: cannot forget the saved position: %s\n",
                 form.Positions().LastError().toLocal8Bit().constData());
  }
  form.Form_Load();

  const bool dump = parser.isSet(dump_option);
  const bool snapshot = parser.isSet(snapshot_option);
  if (snapshot) {
    const QString file = parser.value(snapshot_option);
    if (!form.grab().save(file, "PNG")) {
      std::fprintf(stderr, "skyvane: cannot write the snapshot to \"%s\"\n",
                   file.toLocal8Bit().constData());
      return 1;
    }
  }
  if (dump) {
    for (const skyvane::ControlState& state : form.ControlStates()) {
      std::printf("%s\n", skyvane::ControlStateJson(state).c_str());
    }
    if (std::fflush(stdout) != 0) return 1;
  }
  if (dump || snapshot) return 0;

  form.show();
  return QApplication::exec();
}
