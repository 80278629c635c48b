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

// The inspection options never show a window, so they need no display:
// unless a platform was chosen, they run on the offscreen one.
void ChooseOffscreenForInspection(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--") == 0) return;
    if (std::strncmp(arg, "--", 2) != 0) continue;
    if (std::strcmp(arg + 2, kDumpControls) == 0 ||
        std::strncmp(arg + 2, kSnapshot, std::strlen(kSnapshot)) == 0) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  ChooseOffscreenForInspection(argc, argv);
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
  // Options about the window's placement are added here.
  parser.process(app);
  if (!parser.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "skyvane: unexpected argument \"%s\"; see --help\n",
                 parser.positionalArguments().first().toLocal8Bit().constData());
    return 2;
  }

  skyvane::SkyvaneOptions options;
  if (parser.isSet(url_option)) options.url = parser.value(url_option);
  skyvane::Skyvane form(options);
  // The window's placement options take effect here, before the load handler.
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
