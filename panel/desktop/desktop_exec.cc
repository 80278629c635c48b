#include "panel/desktop/desktop_exec.h"

namespace skyvane {

namespace {

// Characters that make an Exec argument need quotes.
constexpr char16_t kReserved[] = u" \t\n\"'\\><~|&;$*?#()`";
// Characters escaped with a backslash inside a quoted argument.
constexpr char16_t kEscapedInQuotes[] = u"\"`$\\";

QString QuotedArgument(const QString& argument) {
  bool needs_quotes = argument.isEmpty();
  for (const QChar c : argument) {
    if (QStringView(kReserved).contains(c)) needs_quotes = true;
  }
  QString out;
  if (needs_quotes) out += u'"';
  for (const QChar c : argument) {
    if (needs_quotes && QStringView(kEscapedInQuotes).contains(c)) out += u'\\';
    if (c == u'%') out += u'%';
    out += c;
  }
  if (needs_quotes) out += u'"';
  return out;
}

// The escapes of a desktop entry's string values, applied last.
QString EscapedValue(const QString& value) {
  QString out;
  for (const QChar c : value) {
    switch (c.unicode()) {
      case u'\\':
        out += QStringLiteral("\\\\");
        break;
      case u'\n':
        out += QStringLiteral("\\n");
        break;
      case u'\t':
        out += QStringLiteral("\\t");
        break;
      case u'\r':
        out += QStringLiteral("\\r");
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

QString DesktopExecValue(const QStringList& command) {
  QStringList arguments;
  for (const QString& argument : command) arguments.append(QuotedArgument(argument));
  return EscapedValue(arguments.join(u' '));
}

}  // namespace skyvane
