// The panel program's command line: its options (QCommandLineParser), and
// what a start asks of the panel, as a PanelCommand that a running panel
// can be handed.
#ifndef SKYVANE_APP_SKYVANE_COMMAND_LINE_H_
#define SKYVANE_APP_SKYVANE_COMMAND_LINE_H_

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

#include "panel/instance/panel_command.h"

namespace skyvane {

inline constexpr char kDumpControlsOption[] = "dump-controls";
inline constexpr char kSnapshotOption[] = "snapshot";
inline constexpr char kDumpDetailsOption[] = "dump-details";
inline constexpr char kSnapshotDetailsOption[] = "snapshot-details";
inline constexpr char kStatusOption[] = "status";
inline constexpr char kQuitOption[] = "quit";

// The options; the parser itself needs no application object.
class CommandLine {
 public:
  CommandLine();

  // Parses `arguments` (the program's name first) and checks the values and
  // the options given together; on a mistake, says what it is on standard
  // error and returns false.
  bool Parse(const QStringList& arguments);

  QCommandLineParser& Parser() { return parser_; }

  // --dump-controls, --snapshot, --dump-details or --snapshot-details:
  // load, print or render, exit; never talks to a running panel.
  bool Inspects() const;
  bool Dumps() const { return parser_.isSet(dump_option_); }
  std::optional<QString> SnapshotFile() const;
  bool DumpsDetails() const { return parser_.isSet(dump_details_option_); }
  // --snapshot-details DAY FILE: the day (0 .. 6) whose popup is rendered
  // into FILE.
  struct DetailsSnapshot {
    int day = 0;
    QString file;
  };
  const std::optional<DetailsSnapshot>& DetailsSnapshotRequest() const { return details_snapshot_; }

  // What this start asks of the panel: only the status (--status), its end
  // (--quit), or the options given and a refresh, which a start without
  // any panel option asks for, as --refresh does.
  const PanelCommand& Command() const { return command_; }

 private:
  bool Fail(const QString& problem) const;

  QCommandLineParser parser_;
  QCommandLineOption url_option_;
  QCommandLineOption location_option_;
  QCommandLineOption refresh_minutes_option_;
  QCommandLineOption units_option_;
  QCommandLineOption refresh_option_;
  QCommandLineOption source_option_;
  QCommandLineOption reset_option_;
  QCommandLineOption status_option_;
  QCommandLineOption quit_option_;
  QCommandLineOption dump_option_;
  QCommandLineOption snapshot_option_;
  QCommandLineOption dump_details_option_;
  QCommandLineOption snapshot_details_option_;
  PanelCommand command_;
  std::optional<DetailsSnapshot> details_snapshot_;
};

}  // namespace skyvane

#endif  // SKYVANE_APP_SKYVANE_COMMAND_LINE_H_
