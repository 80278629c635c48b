// Fuzzes the quoting of the autostart entry's Exec value. The input, split
// at NUL bytes, is a command (arguments never hold NUL). Its Exec value must
// be one line, hold no field code, and read back, by the rules of the
// desktop entry format, as exactly the same arguments.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "panel/desktop/desktop_exec.h"

namespace {

// Undoes the escapes of a string value: \s \n \t \r and \\.
std::optional<QString> Unescaped(const QString& value) {
  QString out;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] != u'\\') {
      out += value[i];
      continue;
    }
    if (++i == value.size()) return std::nullopt;
    switch (value[i].unicode()) {
      case u's':
        out += u' ';
        break;
      case u'n':
        out += u'\n';
        break;
      case u't':
        out += u'\t';
        break;
      case u'r':
        out += u'\r';
        break;
      case u'\\':
        out += u'\\';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

// The arguments of an unescaped Exec value; nothing when it breaks a rule:
// a reserved character outside quotes, an escape inside quotes of anything
// but " ` $ \, an open quote, or a field code (a % before anything but %).
std::optional<QStringList> Arguments(const QString& exec) {
  static const QString kReserved = QStringLiteral("\"'\\><~|&;$*?#()`");
  static const QString kEscapable = QStringLiteral("\"`$\\");
  QStringList arguments;
  qsizetype i = 0;
  while (i < exec.size()) {
    if (exec[i] == u' ') {
      ++i;
      continue;
    }
    QString argument;
    if (exec[i] == u'"') {
      for (++i;; ++i) {
        if (i == exec.size()) return std::nullopt;
        if (exec[i] == u'"') break;
        if (exec[i] == u'\\') {
          if (++i == exec.size() || !kEscapable.contains(exec[i])) return std::nullopt;
        } else if (exec[i] == u'%') {
          if (++i == exec.size() || exec[i] != u'%') return std::nullopt;
        }
        argument += exec[i];
      }
      ++i;
      if (i < exec.size() && exec[i] != u' ') return std::nullopt;
    } else {
      for (; i < exec.size() && exec[i] != u' '; ++i) {
        if (kReserved.contains(exec[i]) || exec[i] == u'\t' || exec[i] == u'\n')
          return std::nullopt;
        if (exec[i] == u'%' && (++i == exec.size() || exec[i] != u'%')) return std::nullopt;
        argument += exec[i];
      }
    }
    arguments.append(argument);
  }
  return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QStringList command;
  for (const QByteArray& part :
       QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\0')) {
    command.append(QString::fromUtf8(part));
  }
  const QString value = skyvane::DesktopExecValue(command);
  if (value.contains(u'\n') || value.contains(u'\r')) std::abort();
  const std::optional<QString> exec = Unescaped(value);
  if (!exec) std::abort();
  const std::optional<QStringList> arguments = Arguments(*exec);
  if (!arguments || *arguments != command) std::abort();
  return 0;
}
