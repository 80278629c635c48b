// A plain, byte-at-a-time UTF-8 decoder kept as the yardstick for
// skyvane::Utf8ToUtf16: the differential test, the fuzz target and the
// benchmark run both and compare. It is deliberately simple: one table row
// per run of lead bytes, one byte looked at per step.
#ifndef SKYVANE_TESTS_TEXT_UTF8_REFERENCE_H_
#define SKYVANE_TESTS_TEXT_UTF8_REFERENCE_H_

#include <string>
#include <string_view>

namespace skyvane::reference {

// Decodes UTF-8 as Utf8ToUtf16 must: well-formed sequences become their
// code units (a pair above U+FFFF), and each maximal prefix of a
// well-formed sequence that is cut short or broken (or a byte that starts
// none) becomes one U+FFFD. A byte-order mark is kept.
std::u16string Utf8ToUtf16(std::string_view bytes);

}  // namespace skyvane::reference

#endif  // SKYVANE_TESTS_TEXT_UTF8_REFERENCE_H_
