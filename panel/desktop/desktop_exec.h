// The Exec value of a desktop entry: the command a session manager runs.
#ifndef SKYVANE_PANEL_DESKTOP_DESKTOP_EXEC_H_
#define SKYVANE_PANEL_DESKTOP_DESKTOP_EXEC_H_

#include <QString>
#include <QStringList>

namespace skyvane {

// The value of an Exec key that runs `command` (the program, then its
// arguments), as the freedesktop.org desktop entry format writes it: an argument
// with a blank or a reserved character is double-quoted, with the
// characters " ` $ and the backslash escaped by a backslash inside; % is
// doubled; then the value's own escapes (a doubled backslash, \n, \t, \r)
// are applied. The value is one line: a line end in an argument comes out
// as "\\n".
QString DesktopExecValue(const QStringList& command);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_DESKTOP_DESKTOP_EXEC_H_
