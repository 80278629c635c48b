// Texts made fit for one line on a terminal.
//
// What the panel writes to standard error quotes texts that come from the
// network or from files (temperatures, icon names, weather texts, the
// server's own words). A control character among them could move the
// cursor, retitle the window or ring the bell, and a line end would forge a
// line of its own; so every such character is written as a visible escape.
#ifndef SKYVANE_PANEL_TEXTS_TERMINAL_TEXT_H_
#define SKYVANE_PANEL_TEXTS_TERMINAL_TEXT_H_

#include <QString>
#include <QStringView>

namespace skyvane {

// `text` with every C0 control (U+0000 .. U+001F, CR, LF and TAB included),
// DEL (U+007F) and C1 control (U+0080 .. U+009F) written as "\x" and two
// lower-case hexadecimal digits, e.g. ESC as "\x1b". Everything else is
// kept as it is.
QString EscapeControls(QStringView text);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_TEXTS_TERMINAL_TEXT_H_
