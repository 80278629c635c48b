// Locale-aware case mapping and case-insensitive comparison of UTF-16 text.
//
// Everything goes through ICU with the process's default locale (ICU's
// uloc_getDefault); no case tables live in this project. Case-insensitive
// comparison uses ICU full case folding, with the Turkic rules for dotted and
// dotless i when the default locale's language is Turkish or Azerbaijani.
// The functions accept any code units, unpaired surrogates and NUL included,
// and never throw for such input; a text of 2^31 code units or more raises
// RunError kOverflow (ICU counts in 32-bit lengths).
#ifndef SKYVANE_TEXT_TEXT_CASE_H_
#define SKYVANE_TEXT_TEXT_CASE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace skyvane {

// The lower-case form of `s` (may differ in length from `s`).
std::u16string LowerCase(std::u16string_view s);
// The upper-case form of `s` (may differ in length from `s`).
std::u16string UpperCase(std::u16string_view s);
// True when `a` and `b` are equal ignoring case (ICU full case folding).
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
// The first position p >= `from` at which the `pattern.size()` code units of
// `text` starting at p equal `pattern` ignoring case (as EqualsIgnoreCase),
// or npos. An empty pattern is found at `from` when `from` <= text.size().
size_t FindIgnoreCase(std::u16string_view text, std::u16string_view pattern, size_t from = 0);

}  // namespace skyvane

#endif  // SKYVANE_TEXT_TEXT_CASE_H_
