// Locale-aware case mapping and case-insensitive comparison of UTF-16 text.
//
// All three functions go through ICU with the process's default locale; no
// case tables live in this project. They accept any code units, unpaired
// surrogates and NUL included, and never throw for such input.
#ifndef SKYVANE_TEXT_TEXT_CASE_H_
#define SKYVANE_TEXT_TEXT_CASE_H_

#include <string>
#include <string_view>

namespace skyvane {

// The lower-case form of `s` (may differ in length from `s`).
std::u16string LowerCase(std::u16string_view s);
// The upper-case form of `s` (may differ in length from `s`).
std::u16string UpperCase(std::u16string_view s);
// True when `a` and `b` are equal ignoring case (ICU full case folding).
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace skyvane

#endif  // SKYVANE_TEXT_TEXT_CASE_H_
