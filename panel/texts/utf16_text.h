// Passing texts between Qt and the core libraries. Both hold UTF-16 code
// units, so a QString is read in place as a std::u16string_view, and a view
// becomes a QString by one copy of its code units.
#ifndef SKYVANE_PANEL_TEXTS_UTF16_TEXT_H_
#define SKYVANE_PANEL_TEXTS_UTF16_TEXT_H_

#include <QString>
#include <cstddef>
#include <string_view>

namespace skyvane {

// A view of `text`'s code units, valid while `text` lives unchanged.
inline std::u16string_view Utf16View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// A QString holding the code units of `text`.
inline QString FromUtf16(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace skyvane

#endif  // SKYVANE_PANEL_TEXTS_UTF16_TEXT_H_
