#include "app/skyvane/command_line.h"

#include <QCoreApplication>
#include <cstdio>

#include "panel/controls/layout_table.h"
#include "panel/sources/source_preference.h"
#include "panel/weather/temperature_unit.h"

namespace skyvane {

namespace {

constexpr char kRefreshMinutesOption[] = "refresh-minutes";

}  // namespace

CommandLine::CommandLine()
    : url_option_(QStringLiteral("url"),
                  QCoreApplication::translate(
                      "CommandLine",
                      "Fetch the forecast in the panel's own format from URL (http:// or "
                      "file://), this time only, instead of the weather of a place."),
                  QStringLiteral("URL")),
      location_option_(
          QStringLiteral("location"),
          QCoreApplication::translate(
              "CommandLine",
              "Show the weather of PLACE from Open-Meteo and keep it for later starts. "
              "PLACE is a place name (the first match of Open-Meteo's search) or "
              "LAT,LON in decimal degrees; \"\" forgets the kept place."),
          QStringLiteral("PLACE")),
      refresh_minutes_option_(
          QLatin1String(kRefreshMinutesOption),
          QCoreApplication::translate(
              "CommandLine",
              "Refresh the forecast every N minutes, just after midnight and after a "
              "wake from suspend, and keep N for later starts; 0 (the default) "
              "fetches only at start."),
          QStringLiteral("N")),
      units_option_(QStringLiteral("units"),
                    QCoreApplication::translate(
                        "CommandLine",
                        "Show Open-Meteo temperatures in UNIT (celsius or fahrenheit) "
                        "and keep it for later starts; \"\" returns to the unit of "
                        "the locale (Fahrenheit in the US, Celsius elsewhere)."),
                    QStringLiteral("UNIT")),
      refresh_option_(
          QStringLiteral("refresh"),
          QCoreApplication::translate("CommandLine",
                                      "Refresh the running panel's forecast now (what a start "
                                      "without options does when a panel runs).")),
      source_option_(QStringLiteral("source"),
                     QCoreApplication::translate(
                         "CommandLine",
                         "Ask a place's forecast of SOURCE and keep it for later starts: auto "
                         "(the default: Open-Meteo, and MET Norway when Open-Meteo cannot "
                         "answer), open-meteo or met-norway."),
                     QStringLiteral("SOURCE")),
      reset_option_(
          QStringLiteral("reset-position"),
          QCoreApplication::translate("CommandLine",
                                      "Forget where the panel was left and move it to the default "
                                      "place, near the bottom-right corner of the screen.")),
      status_option_(
          QLatin1String(kStatusOption),
          QCoreApplication::translate("CommandLine",
                                      "Print the running panel's status as one line of JSON; exit "
                                      "status 1 when no panel runs.")),
      quit_option_(QLatin1String(kQuitOption),
                   QCoreApplication::translate("CommandLine", "End the running panel.")),
      dump_option_(
          QLatin1String(kDumpControlsOption),
          QCoreApplication::translate("CommandLine",
                                      "Print the form and its 28 controls after loading, one JSON "
                                      "object per line, then exit.")),
      snapshot_option_(QLatin1String(kSnapshotOption),
                       QCoreApplication::translate(
                           "CommandLine", "Render the loaded panel into FILE (PNG), then exit."),
                       QStringLiteral("FILE")),
      dump_details_option_(QLatin1String(kDumpDetailsOption),
                           QCoreApplication::translate(
                               "CommandLine",
                               "Print the details of each day after loading (what a click on its "
                               "column shows), one JSON object per line, then exit.")),
      snapshot_details_option_(
          QLatin1String(kSnapshotDetailsOption),
          QCoreApplication::translate(
              "CommandLine",
              "Render the details popup of day DAY (0 to 6) into FILE (PNG), given "
              "after DAY, then exit."),
          QStringLiteral("DAY")) {
  parser_.setApplicationDescription(QCoreApplication::translate(
      "CommandLine",
      "A translucent desktop panel with the seven-day weather forecast.\n"
      "One panel runs per user and display: a later start hands its options to "
      "the running panel and exits."));
  parser_.addHelpOption();
  parser_.addVersionOption();
  parser_.addOptions({url_option_, location_option_, units_option_, refresh_minutes_option_,
                      refresh_option_, source_option_, reset_option_, status_option_, quit_option_,
                      dump_option_, snapshot_option_, dump_details_option_,
                      snapshot_details_option_});
}

bool CommandLine::Fail(const QString& problem) const {
  std::fprintf(stderr, "skyvane: %s\n", problem.toLocal8Bit().constData());
  return false;
}

bool CommandLine::Parse(const QStringList& arguments) {
  if (!parser_.parse(arguments)) return Fail(parser_.errorText());
  QStringList positional = parser_.positionalArguments();
  details_snapshot_.reset();
  if (parser_.isSet(snapshot_details_option_)) {
    bool number = false;
    const int day = parser_.value(snapshot_details_option_).toInt(&number);
    if (!number || day < 0 || day > kColumnCount - 1) {
      return Fail(QStringLiteral("--snapshot-details takes a day from 0 to %1, not \"%2\"")
                      .arg(kColumnCount - 1)
                      .arg(parser_.value(snapshot_details_option_)));
    }
    if (positional.isEmpty()) {
      return Fail(QStringLiteral("--snapshot-details takes a day and a file: DAY FILE.png"));
    }
    details_snapshot_ = DetailsSnapshot{day, positional.takeFirst()};
  }
  if (!positional.isEmpty()) {
    return Fail(QStringLiteral("unexpected argument \"%1\"; see --help").arg(positional.first()));
  }
  command_ = PanelCommand{};
  if (parser_.isSet(url_option_)) command_.url = parser_.value(url_option_);
  if (parser_.isSet(location_option_)) command_.location = parser_.value(location_option_);
  if (parser_.isSet(source_option_)) {
    const std::optional<SourcePreference> source =
        ReadSourcePreference(parser_.value(source_option_));
    if (!source) {
      return Fail(QStringLiteral("--source takes auto, open-meteo or met-norway, not \"%1\"")
                      .arg(parser_.value(source_option_)));
    }
    command_.source = SourcePreferenceText(*source);
  }
  if (parser_.isSet(units_option_)) {
    const QString units = parser_.value(units_option_);
    if (!units.isEmpty() && !UnitNamed(units)) {
      return Fail(
          QStringLiteral("--units takes celsius, fahrenheit or \"\", not \"%1\"").arg(units));
    }
    command_.units = units.isEmpty() ? units : UnitName(*UnitNamed(units));
  }
  if (parser_.isSet(refresh_minutes_option_)) {
    bool number = false;
    const int minutes = parser_.value(refresh_minutes_option_).toInt(&number);
    if (!number || minutes < 0 || minutes > kMaxRefreshMinutes) {
      return Fail(QStringLiteral("--refresh-minutes takes a whole number of minutes from 0 to %1, "
                                 "not \"%2\"")
                      .arg(kMaxRefreshMinutes)
                      .arg(parser_.value(refresh_minutes_option_)));
    }
    command_.refresh_minutes = minutes;
  }
  command_.reset_position = parser_.isSet(reset_option_);
  command_.status = parser_.isSet(status_option_);
  command_.quit = parser_.isSet(quit_option_);
  for (const QCommandLineOption* alone : {&status_option_, &quit_option_}) {
    if (!parser_.isSet(*alone)) continue;
    const QStringList given = parser_.optionNames();
    if (given.size() > 1) {
      return Fail(QStringLiteral("--%1 takes no other option").arg(alone->names().first()));
    }
  }
  command_.refresh =
      parser_.isSet(refresh_option_) || (!command_.status && !command_.quit &&
                                         !command_.reset_position && !command_.AppliesOptions());
  return true;
}

bool CommandLine::Inspects() const {
  return parser_.isSet(dump_option_) || parser_.isSet(snapshot_option_) ||
         parser_.isSet(dump_details_option_) || parser_.isSet(snapshot_details_option_);
}

std::optional<QString> CommandLine::SnapshotFile() const {
  if (!parser_.isSet(snapshot_option_)) return std::nullopt;
  return parser_.value(snapshot_option_);
}

}  // namespace skyvane
