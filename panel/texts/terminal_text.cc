#include "panel/texts/terminal_text.h"

namespace skyvane {

namespace {

constexpr char16_t kLastC0 = 0x1F;
constexpr char16_t kDelete = 0x7F;
constexpr char16_t kLastC1 = 0x9F;
constexpr int kEscapeDigits = 2;
constexpr int kHexRadix = 16;

bool IsControl(char16_t c) {
  return c <= kLastC0 || (c >= kDelete && c <= kLastC1);
}

}  // namespace

QString EscapeControls(QStringView text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    if (IsControl(c.unicode())) {
      out += QStringLiteral("\\x%1").arg(c.unicode(), kEscapeDigits, kHexRadix, QLatin1Char('0'));
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace skyvane
