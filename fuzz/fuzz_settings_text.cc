// Fuzzes the settings text. The input is a value, a NUL byte, then the text
// of a settings file. Finding a key must return; setting a key must make it
// read back as that value and keep every line that does not name the key
// byte for byte and in order; an empty edit must change nothing; a value must
// decode to itself after encoding.
#include <QByteArray>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "panel/settings/settings_text.h"

namespace {

constexpr char kSection[] = "set";
constexpr char kKey[] = "location";

// The lines of `text`, each with its line feed.
QList<QByteArray> Lines(const QByteArray& text) {
  QList<QByteArray> lines;
  qsizetype start = 0;
  while (start < text.size()) {
    qsizetype end = text.indexOf('\n', start);
    end = end < 0 ? text.size() : end + 1;
    lines.append(text.mid(start, end - start));
    start = end;
  }
  return lines;
}

// Whether every line of `before` that does not name the key is found, in
// order, among the lines of `after`. A last line without a line feed may
// have gained one.
bool KeepsOtherLines(const QByteArray& before, const QByteArray& after) {
  const QList<QByteArray> old_lines = Lines(before);
  const QList<QByteArray> new_lines = Lines(after);
  qsizetype next = 0;
  for (qsizetype i = 0; i < old_lines.size(); ++i) {
    const QByteArray& line = old_lines[i];
    if (line.contains(kKey)) continue;
    const bool last_open = i + 1 == old_lines.size() && !line.endsWith('\n');
    const auto kept = [&](const QByteArray& now) {
      return now == line || (last_open && (now == line + '\n' || now == line + "\r\n"));
    };
    while (next < new_lines.size() && !kept(new_lines[next])) ++next;
    if (next == new_lines.size()) return false;
    ++next;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qsizetype nul = input.indexOf('\0');
  const QString value = QString::fromUtf8(nul < 0 ? QByteArray() : input.left(nul));
  const QByteArray text = nul < 0 ? input : input.mid(nul + 1);

  if (skyvane::DecodeSettingValue(skyvane::EncodeSettingValue(value)) != value) std::abort();
  (void)skyvane::FindSetting(text, kSection, kKey);
  if (skyvane::ApplySettingChanges(text, kSection, {}) != text) std::abort();

  const QByteArray set = skyvane::ApplySettingChanges(text, kSection, {{kKey, value}});
  if (skyvane::FindSetting(set, kSection, kKey) != value) std::abort();
  if (!KeepsOtherLines(text, set)) std::abort();

  const QByteArray removed = skyvane::ApplySettingChanges(text, kSection, {{kKey, std::nullopt}});
  if (skyvane::FindSetting(removed, kSection, kKey).has_value()) std::abort();
  if (!KeepsOtherLines(text, removed)) std::abort();
  return 0;
}
