// Conversions between UTF-8 bytes and UTF-16 text, for the edges of the
// programs (files, standard streams, command lines), and the UTF-16 surrogate
// ranges that every such conversion or escape has to tell apart.
#ifndef SKYVANE_TEXT_UTF_H_
#define SKYVANE_TEXT_UTF_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace skyvane {

constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kLowSurrogateFirst = 0xDC00;
constexpr char16_t kLowSurrogateLast = 0xDFFF;
// The first code point beyond the 16-bit range, which a pair encodes as its
// offset from here split into two halves of kSurrogateBits each.
constexpr char32_t kSupplementaryStart = 0x10000;
constexpr int kSurrogateBits = 10;

// True for the first code unit of a surrogate pair (U+D800..U+DBFF).
constexpr bool IsHighSurrogate(char16_t c) {
  return c >= kHighSurrogateFirst && c < kLowSurrogateFirst;
}
// True for the second code unit of a surrogate pair (U+DC00..U+DFFF).
constexpr bool IsLowSurrogate(char16_t c) {
  return c >= kLowSurrogateFirst && c <= kLowSurrogateLast;
}

// The code point that the surrogate pair `high`, `low` encodes.
constexpr char32_t CombineSurrogates(char16_t high, char16_t low) {
  return kSupplementaryStart + ((char32_t{high} - kHighSurrogateFirst) << kSurrogateBits) +
         (char32_t{low} - kLowSurrogateFirst);
}

// Appends the UTF-8 bytes of code point `cp` (at most U+10FFFF) to `out`.
void AppendUtf8(std::string& out, char32_t cp);

// Decodes UTF-8. A leading byte-order mark is NOT skipped here (see
// StripByteOrderMark); every invalid or truncated sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);
// The same decoding into caller-owned room: `out` must have room for
// bytes.size() code units (no text needs more), of which the first ones, as
// many as returned, are written; the rest are left untouched, so `out` need
// not be cleared first.
std::size_t Utf8ToUtf16(std::string_view bytes, char16_t* out);
// Encodes UTF-16 as UTF-8. An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// `bytes` without a leading UTF-8 byte-order mark.
std::string_view StripByteOrderMark(std::string_view bytes);
// UTF-16 of a text known to be ASCII (or UTF-8) literal, for messages.
inline std::u16string Widen(std::string_view utf8) {
  return Utf8ToUtf16(utf8);
}

}  // namespace skyvane

#endif  // SKYVANE_TEXT_UTF_H_
