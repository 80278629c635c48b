// What the panel tells about its forecast: where it comes from, when it was
// last brought up to date, why the last refresh failed and when the next one
// is due.
//
// A status is one small value, not widgets: the panel's tooltip, the tray
// icon's tooltip and `skyvane --status` all read the same PanelStatus, each
// through one of the functions below.
#ifndef SKYVANE_PANEL_INSTANCE_PANEL_STATUS_H_
#define SKYVANE_PANEL_INSTANCE_PANEL_STATUS_H_

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>
#include <string>

namespace skyvane {

struct PanelStatus {
  // The place name or the address the forecast is asked from; empty while
  // there is none.
  QString source;
  // When all seven columns were last written from a forecast; none before
  // the first complete refresh.
  std::optional<QDateTime> updated;
  // Why the last refresh failed, in one line; none after one that ran to
  // the end.
  std::optional<QString> problem;
  // When the next refresh (or the next try after a failure) is due; none
  // while no refresh is planned.
  std::optional<QDateTime> next;
  // When the forecast on the panel was fetched (a kept one included); none
  // while the panel shows none.
  std::optional<QDateTime> fetched;
  // The forecast on the panel is older than three hours or was kept from an
  // earlier run and not yet brought up to date.
  bool stale = false;

  friend bool operator==(const PanelStatus&, const PanelStatus&) = default;
};

// The status as one line of JSON (UTF-8, no line end), with the keys in this
// order: {"source":TEXT,"updated":TIME,"problem":TEXT,"next":TIME,
// "fetched":TIME,"stale":BOOLEAN}. A time is
// ISO 8601 with its offset from UTC, to the second
// ("2024-03-15T14:05:00+01:00"); an absent time or problem is null. Texts
// are written with the project's JSON writer, which escapes C0 controls;
// whoever makes the status escapes the rest of what came from the network
// (EscapeControls), so that the line is safe to print on a terminal.
std::string StatusJson(const PanelStatus& status);

// The status as plain text for a tooltip, one fact per line, times in
// `locale`'s short format:
//   Berlin
//   Updated 15/03/2024 14:05          (or: Not updated yet)
//   Shown: fetched 15/03/2024 11:05   (only while stale)
//   Problem: REASON                   (only after a failure)
//   Next try 15/03/2024 14:06         ("Next update" when there is no problem)
QString StatusText(const PanelStatus& status, const QLocale& locale = QLocale());

}  // namespace skyvane

#endif  // SKYVANE_PANEL_INSTANCE_PANEL_STATUS_H_
