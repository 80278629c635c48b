#include "panel/settings/settings_text.h"

#include <vector>

namespace skyvane {

namespace {

constexpr char kCommentStarts[] = ";#";
constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";
// Characters that make a value need quotes or escapes when written.
constexpr char16_t kSpecialInValue[] = u"\"\\;#,=";
constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kDelete = 0x7F;
// Read as UTF-8 at the start of a value, it is taken for a byte order mark
// and dropped, so it is always written as an escape.
constexpr char16_t kByteOrderMarkChar = 0xFEFF;
constexpr int kHexEscapeDigits = 4;
constexpr int kHexRadix = 16;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

QByteArrayView Trimmed(QByteArrayView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.sliced(begin, end - begin);
}

// One line of the file: its text, its line end ("\r\n", "\n" or none for a
// last line without one) and what it is.
struct Line {
  enum class Kind { kOther, kSection, kSetting };
  QByteArray text;
  QByteArray end;
  Kind kind = Kind::kOther;
  QByteArray name;  // the section's name, or the setting's key
  QByteArray raw_value;
};

Line Classify(QByteArray text, QByteArray end, bool first) {
  Line line;
  line.text = std::move(text);
  line.end = std::move(end);
  QByteArrayView content = line.text;
  if (first && content.startsWith(kByteOrderMark)) content = content.sliced(kByteOrderMark.size());
  const QByteArrayView trimmed = Trimmed(content);
  if (trimmed.isEmpty() || QByteArrayView(kCommentStarts).contains(trimmed.front())) return line;
  if (trimmed.front() == '[') {
    const qsizetype close = trimmed.indexOf(']');
    if (close > 0) {
      line.kind = Line::Kind::kSection;
      line.name = Trimmed(trimmed.sliced(1, close - 1)).toByteArray();
    }
    return line;
  }
  const qsizetype equals = content.indexOf('=');
  if (equals < 0) return line;
  line.kind = Line::Kind::kSetting;
  line.name = Trimmed(content.first(equals)).toByteArray();
  line.raw_value = content.sliced(equals + 1).toByteArray();
  return line;
}

std::vector<Line> SplitLines(QByteArrayView text) {
  std::vector<Line> lines;
  qsizetype start = 0;
  while (start < text.size()) {
    qsizetype end = text.indexOf('\n', start);
    qsizetype next = end < 0 ? text.size() : end + 1;
    if (end < 0) end = text.size();
    qsizetype content_end = end;
    if (content_end > start && end < text.size() && text[content_end - 1] == '\r') --content_end;
    lines.push_back(Classify(text.sliced(start, content_end - start).toByteArray(),
                             text.sliced(content_end, next - content_end).toByteArray(),
                             lines.empty()));
    start = next;
  }
  return lines;
}

// True when `line`, in section `line_section`, sets `key` of `section`.
bool Sets(const Line& line, QByteArrayView line_section, QByteArrayView section,
          QByteArrayView key) {
  return line.kind == Line::Kind::kSetting && line_section == section && line.name == key;
}

// The section each line belongs to: the name of the last header above it.
std::vector<QByteArray> SectionsOf(const std::vector<Line>& lines) {
  std::vector<QByteArray> sections;
  sections.reserve(lines.size());
  QByteArray current;
  for (const Line& line : lines) {
    if (line.kind == Line::Kind::kSection) current = line.name;
    sections.push_back(current);
  }
  return sections;
}

Line NewLine(QByteArray text, const QByteArray& end) {
  return Classify(std::move(text), end, false);
}

Line SettingLine(QByteArrayView key, const QString& value, const QByteArray& end) {
  return NewLine(key.toByteArray() + '=' + EncodeSettingValue(value), end);
}

void SetKey(std::vector<Line>& lines, QByteArrayView section, QByteArrayView key,
            const QString& value, const QByteArray& line_end) {
  const std::vector<QByteArray> sections = SectionsOf(lines);
  std::vector<std::size_t> matches;
  std::optional<std::size_t> last_header;
  std::optional<std::size_t> insert_after;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (sections[i] != section) continue;
    if (lines[i].kind == Line::Kind::kSection) {
      last_header = i;
      insert_after = i;
    } else if (lines[i].kind == Line::Kind::kSetting) {
      insert_after = i;
      if (Sets(lines[i], sections[i], section, key)) matches.push_back(i);
    }
  }
  if (!matches.empty()) {
    lines[matches.back()] = SettingLine(key, value, lines[matches.back()].end);
    matches.pop_back();
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) lines.erase(lines.begin() + *it);
    return;
  }
  // New settings go after the last line of the section's last appearance
  // that is its header or a setting; settings before any header are not in
  // the section.
  if (!last_header) {
    if (!lines.empty()) {
      if (lines.back().end.isEmpty()) lines.back().end = line_end;
      lines.push_back(NewLine(QByteArray(), line_end));
    }
    lines.push_back(NewLine('[' + section.toByteArray() + ']', line_end));
    insert_after = lines.size() - 1;
  }
  Line& before = lines[*insert_after];
  if (before.end.isEmpty()) before.end = line_end;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*insert_after) + 1,
               SettingLine(key, value, line_end));
}

void RemoveKey(std::vector<Line>& lines, QByteArrayView section, QByteArrayView key) {
  const std::vector<QByteArray> sections = SectionsOf(lines);
  std::vector<Line> kept;
  kept.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!Sets(lines[i], sections[i], section, key)) kept.push_back(std::move(lines[i]));
  }
  lines = std::move(kept);
}

bool IsHexDigit(QChar c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The characters written as a backslash and a letter, and their letters.
// Any other control is written as \xHHHH; a backslash before any other
// character stands for that character ("\\", "\"").
struct Escape {
  char16_t c;
  char letter;
};
constexpr Escape kEscapes[] = {{u'\n', 'n'}, {u'\r', 'r'}, {u'\t', 't'}, {u'\a', 'a'},
                               {u'\b', 'b'}, {u'\f', 'f'}, {u'\v', 'v'}, {u'\0', '0'}};

QChar EscapedChar(QChar letter) {
  for (const Escape& escape : kEscapes) {
    if (letter == QLatin1Char(escape.letter)) return escape.c;
  }
  return letter;
}

// The letter that escapes `c`, or 0 when `c` is written otherwise.
char EscapeLetter(char16_t c) {
  if (c == u'"' || c == u'\\') return static_cast<char>(c);
  for (const Escape& escape : kEscapes) {
    if (c == escape.c) return escape.letter;
  }
  return 0;
}

// A surrogate that is not half of a pair has no UTF-8 form of its own.
bool IsLoneSurrogate(const QString& text, qsizetype i) {
  const QChar c = text[i];
  if (c.isHighSurrogate()) return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
  if (c.isLowSurrogate()) return i == 0 || !text[i - 1].isHighSurrogate();
  return false;
}

// Written as \xHHHH: controls and what UTF-8 cannot carry.
bool NeedsHexEscape(const QString& text, qsizetype i) {
  const char16_t c = text[i].unicode();
  return c < kFirstPrintable || c == kDelete || c == kByteOrderMarkChar || IsLoneSurrogate(text, i);
}

bool NeedsQuotes(const QString& value) {
  if (value.isEmpty()) return false;
  if (IsBlank(value.front().toLatin1()) || IsBlank(value.back().toLatin1())) return true;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (NeedsHexEscape(value, i) || QStringView(kSpecialInValue).contains(value[i])) return true;
  }
  return false;
}

}  // namespace

std::optional<QString> FindSetting(QByteArrayView text, QByteArrayView section,
                                   QByteArrayView key) {
  const std::vector<Line> lines = SplitLines(text);
  const std::vector<QByteArray> sections = SectionsOf(lines);
  std::optional<QString> found;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (Sets(lines[i], sections[i], section, key)) found = DecodeSettingValue(lines[i].raw_value);
  }
  return found;
}

QByteArray ApplySettingChanges(QByteArrayView text, QByteArrayView section,
                               const QList<SettingChange>& changes) {
  std::vector<Line> lines = SplitLines(text);
  const QByteArray line_end =
      !lines.empty() && !lines.front().end.isEmpty() ? lines.front().end : QByteArray("\n");
  for (const SettingChange& change : changes) {
    if (change.value) {
      SetKey(lines, section, change.key, *change.value, line_end);
    } else {
      RemoveKey(lines, section, change.key);
    }
  }
  QByteArray out;
  out.reserve(text.size() + changes.size() * (line_end.size() + 1));
  for (const Line& line : lines) out += line.text + line.end;
  return out;
}

QByteArray EncodeSettingValue(const QString& value) {
  if (!NeedsQuotes(value)) return value.toUtf8();
  QString out = QStringLiteral("\"");
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (const char letter = EscapeLetter(c.unicode())) {
      out += u'\\';
      out += QLatin1Char(letter);
    } else if (NeedsHexEscape(value, i)) {
      out +=
          QStringLiteral("\\x%1").arg(c.unicode(), kHexEscapeDigits, kHexRadix, QLatin1Char('0'));
    } else {
      out += c;
    }
  }
  out += u'"';
  return out.toUtf8();
}

QString DecodeSettingValue(QByteArrayView raw) {
  const QString text = QString::fromUtf8(Trimmed(raw));
  QString out;
  out.reserve(text.size());
  bool quoted = false;
  // Blanks before an unquoted comment or the end are not part of the value.
  qsizetype keep = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'"') {
      quoted = !quoted;
      keep = out.size();
      continue;
    }
    if (c == u';' && !quoted) break;
    if (c == u'\\' && i + 1 < text.size()) {
      const QChar letter = text[++i];
      if (letter == u'x') {
        char16_t value = 0;
        int digits = 0;
        while (digits < kHexEscapeDigits && i + 1 < text.size() && IsHexDigit(text[i + 1])) {
          value = static_cast<char16_t>(
              value * kHexRadix + QStringView(text).sliced(++i, 1).toUInt(nullptr, kHexRadix));
          ++digits;
        }
        out += digits > 0 ? QChar(value) : letter;
      } else {
        out += EscapedChar(letter);
      }
      keep = out.size();
      continue;
    }
    out += c;
    if (quoted || !IsBlank(c.toLatin1())) keep = out.size();
  }
  out.truncate(keep);
  return out;
}

}  // namespace skyvane
