// The text of a settings file, read and edited line by line.
//
// A settings file is UTF-8 text in lines: "[NAME]" opens the section NAME,
// "KEY=VALUE" sets a key in the section above it, and a line starting with
// ";" or "#" is a comment. Blanks around a key, a value and a section name
// do not count. Section names and keys are compared exactly (case matters).
//
// Values: a value is taken as it stands, except that "\" starts an escape
// (\n \r \t \a \b \f \v \0, \xHHHH with one to four hexadecimal digits, and
// "\" before any other character stands for that character), a double quote
// starts or ends a quoted run (blanks and ";" inside it are kept), and an
// unquoted ";" starts a comment that runs to the end of the line. A value is
// written as it stands when it needs none of that, and otherwise in double
// quotes with escapes; either way it reads back exactly.
//
// Editing touches only the lines of the keys it changes, in the section it
// is given: every other line (other sections, comments, blank lines, lines
// that are no setting at all, the line ends and any bytes that are not
// UTF-8) is kept byte for byte.
#ifndef SKYVANE_PANEL_SETTINGS_SETTINGS_TEXT_H_
#define SKYVANE_PANEL_SETTINGS_SETTINGS_TEXT_H_

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

namespace skyvane {

// One change of a key: set it to `value`, or remove it when there is none.
struct SettingChange {
  QByteArray key;
  std::optional<QString> value;
};

// The value of `key` in section `section` of `text`, or nullopt when no
// line sets it. When several lines set it (the section may even appear more
// than once), the last one counts.
std::optional<QString> FindSetting(QByteArrayView text, QByteArrayView section, QByteArrayView key);

// `text` with `changes` applied in order, in section `section`. Setting a
// key rewrites its last line in place and drops its other lines; a key not
// yet present is added after the last setting of the last such section, and
// a missing section is added at the end. Removing a key drops its lines and
// leaves the section header. Added lines end the way the file's first line
// ends (CR LF or LF). Keys must be non-empty and hold no blank, "=", "[",
// ";", "#", CR or LF; the caller's keys are fixed names.
QByteArray ApplySettingChanges(QByteArrayView text, QByteArrayView section,
                               const QList<SettingChange>& changes);

// The text written after "KEY=" for `value`.
QByteArray EncodeSettingValue(const QString& value);

// The value that the text after "KEY=" stands for.
QString DecodeSettingValue(QByteArrayView raw);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SETTINGS_SETTINGS_TEXT_H_
