// Scanning helpers of the JSON reader (internal to json/): the loops that
// run over most of the code units of a document, kept apart so that they can
// be tested on their own against plain definitions.
//
// Each helper reads only p[pos .. n). It returns pos unchanged when pos is
// at or beyond n (the reader's position may pass the end of the text), and
// otherwise a position in [pos, n].
#ifndef SKYVANE_JSON_READER_SCAN_H_
#define SKYVANE_JSON_READER_SCAN_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "json/decimal.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skyvane::reader_scan {

// Code units compared at once by the vector loops.
inline constexpr std::size_t kLanes = 8;

// TAB, LF, CR, space, "(" and ")": blanks that change no comment state while
// no comment is open.
inline bool IsLayoutBlank(char16_t c) {
  constexpr uint64_t kLayoutBlanks = (uint64_t{1} << u'\t') | (uint64_t{1} << u'\n') |
                                     (uint64_t{1} << u'\r') | (uint64_t{1} << u' ') |
                                     (uint64_t{1} << u'(') | (uint64_t{1} << u')');
  return c < 64 && ((kLayoutBlanks >> c) & 1) != 0;
}

// The first position at or after `pos` that is not a layout blank.
inline std::size_t SkipLayoutBlanks(const char16_t* p, std::size_t pos, std::size_t n) {
  if (pos >= n || !IsLayoutBlank(p[pos])) return pos;
#if defined(__SSE2__)
  // Indentation comes in runs of spaces after a line end, mostly shorter
  // than two vectors: sixteen units are narrowed to bytes at once (units
  // above 255 saturate to bytes that are no blank) and compared together.
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i line_feed = _mm_set1_epi8('\n');
  const __m128i carriage_return = _mm_set1_epi8('\r');
  const __m128i tab = _mm_set1_epi8('\t');
  constexpr unsigned kAllBlank = 0xFFFF;
  while (n - pos >= 2 * kLanes) {
    const __m128i v =
        _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos)),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos + kLanes)));
    const __m128i blank =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, space), _mm_cmpeq_epi8(v, line_feed)),
                     _mm_or_si128(_mm_cmpeq_epi8(v, carriage_return), _mm_cmpeq_epi8(v, tab)));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(blank));
    if (mask != kAllBlank) {
      pos += static_cast<std::size_t>(__builtin_ctz(~mask));
      break;
    }
    pos += 2 * kLanes;
  }
#endif
  while (pos < n && IsLayoutBlank(p[pos])) ++pos;
  return pos;
}

// The first position at or after `pos` holding `quote` (an ASCII unit: the
// reader passes one of its two quotes) or a backslash, or n.
inline std::size_t FindQuoteOrBackslash(const char16_t* p, std::size_t pos, std::size_t n,
                                        char16_t quote) {
  if (pos >= n) return pos;
#if defined(__SSE2__)
  // Sixteen units narrowed to bytes at once; units above 255 saturate to
  // bytes that match neither (both quotes and the backslash are ASCII).
  const __m128i quotes = _mm_set1_epi8(static_cast<char>(quote));
  const __m128i backslashes = _mm_set1_epi8('\\');
  while (n - pos >= 2 * kLanes) {
    const __m128i v =
        _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos)),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos + kLanes)));
    const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, quotes), _mm_cmpeq_epi8(v, backslashes));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return pos + static_cast<std::size_t>(__builtin_ctz(mask));
    pos += 2 * kLanes;
  }
#endif
  while (pos < n && p[pos] != quote && p[pos] != u'\\') ++pos;
  return pos;
}

// The first position at or after `pos` holding one of the units that end a
// run of plain key text (the two quotes, ":", CR, LF, TAB, space), or n.
inline std::size_t FindKeySpecial(const char16_t* p, std::size_t pos, std::size_t n) {
  if (pos >= n) return pos;
#if defined(__SSE2__)
  // Sixteen units narrowed to bytes at once, as in FindQuoteOrBackslash.
  const __m128i double_quote = _mm_set1_epi8('"');
  const __m128i single_quote = _mm_set1_epi8('\'');
  const __m128i colon = _mm_set1_epi8(':');
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i line_feed = _mm_set1_epi8('\n');
  const __m128i carriage_return = _mm_set1_epi8('\r');
  const __m128i tab = _mm_set1_epi8('\t');
  while (n - pos >= 2 * kLanes) {
    const __m128i v =
        _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos)),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos + kLanes)));
    const __m128i quotes =
        _mm_or_si128(_mm_cmpeq_epi8(v, double_quote), _mm_cmpeq_epi8(v, single_quote));
    const __m128i blanks =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, space), _mm_cmpeq_epi8(v, line_feed)),
                     _mm_or_si128(_mm_cmpeq_epi8(v, carriage_return), _mm_cmpeq_epi8(v, tab)));
    const __m128i hit = _mm_or_si128(_mm_or_si128(quotes, _mm_cmpeq_epi8(v, colon)), blanks);
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return pos + static_cast<std::size_t>(__builtin_ctz(mask));
    pos += 2 * kLanes;
  }
#endif
  for (; pos < n; ++pos) {
    switch (p[pos]) {
      case u'"':
      case u'\'':
      case u':':
      case u'\r':
      case u'\n':
      case u'\t':
      case u' ':
        return pos;
      default:
        break;
    }
  }
  return pos;
}

// The number characters "+-0123456789.eE", as bits of two 64-bit masks.
inline bool IsNumberChar(char16_t c) {
  constexpr uint64_t kLow = (uint64_t{1} << u'+') | (uint64_t{1} << u'-') | (uint64_t{1} << u'.') |
                            (uint64_t{0x3FF} << u'0');
  constexpr uint64_t kHigh = (uint64_t{1} << (u'E' - 64)) | (uint64_t{1} << (u'e' - 64));
  if (c < 64) return ((kLow >> c) & 1) != 0;
  return c < 128 && ((kHigh >> (c - 64)) & 1) != 0;
}

// Code units converted at once by the digit loop.
inline constexpr std::size_t kDigitBlock = 8;

// 10^k for the k digits a block may hold.
inline constexpr uint64_t kPowersOfTen[] = {1,      10,      100,      1000,     10000,
                                            100000, 1000000, 10000000, 100000000};

// The number of leading units of p[0 .. 8) that are the digits "0".."9"
// (0 to 8), with the number those digits spell in `value` when there is at
// least one. The caller makes sure that eight units can be read.
inline int ReadDigitBlock(const char16_t* p, uint32_t& value) {
#if defined(__SSE2__)
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i offsets = _mm_sub_epi16(v, _mm_set1_epi16(u'0'));
  // Saturating subtraction leaves zero exactly in the lanes holding 0..9
  // (units below "0" wrapped round to large values above).
  constexpr short kLargestDigit = 9;
  const __m128i beyond = _mm_subs_epu16(offsets, _mm_set1_epi16(kLargestDigit));
  const unsigned digit_bytes =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(beyond, _mm_setzero_si128())));
  // Two mask bits per lane; the bit above the mask stops the count at 8.
  constexpr unsigned kPastLastLane = 1u << (2 * kDigitBlock);
  const int count = __builtin_ctz(~digit_bytes | kPastLastLane) / 2;
  if (count == 0) return 0;
  // One byte per digit, the first digit in the lowest byte. Shifting the
  // units after the digits out at the top leaves zeros in front of the
  // digits, which then read as an eight-digit number: pairs, quadruples
  // and the octet are combined in place, each step within lanes twice as
  // wide as the last.
  constexpr int kByteBits = 8;
  uint64_t x = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_packus_epi16(offsets, offsets)));
  x <<= (static_cast<int>(kDigitBlock) - count) * kByteBits;
  constexpr uint64_t kPairMask = 0x00FF00FF00FF00FFu;
  constexpr uint64_t kQuadMask = 0x0000FFFF0000FFFFu;
  constexpr uint64_t kOctetMask = 0x00000000FFFFFFFFu;
  x = (x * 10 + (x >> kByteBits)) & kPairMask;
  x = (x * 100 + (x >> (2 * kByteBits))) & kQuadMask;
  x = (x * 10000 + (x >> (4 * kByteBits))) & kOctetMask;
  value = static_cast<uint32_t>(x);
  return count;
#else
  int count = 0;
  uint32_t result = 0;
  for (; count < static_cast<int>(kDigitBlock) && p[count] >= u'0' && p[count] <= u'9'; ++count) {
    result = result * 10 + static_cast<uint32_t>(p[count] - u'0');
  }
  if (count > 0) value = result;
  return count;
#endif
}

// Reads the common number form [sign] digits [ "." digits ] with at most 19
// digits in all from p[pos .. n), and converts it exactly as
// Decimal::FromText would convert that text (the scale is the number of
// fraction digits, trailing zeros kept). Returns the position just past the
// form with `out` set, or pos with `out` untouched when the text at pos does
// not start with that form or has more digits.
inline std::size_t ScanPlainNumber(const char16_t* p, std::size_t pos, std::size_t n,
                                   Decimal& out) {
  constexpr int kMaxDigits = 19;  // any 19-digit number fits in uint64_t
  constexpr uint64_t kRadix = 10;
  constexpr std::size_t kTooMany = static_cast<std::size_t>(-1);
  uint64_t magnitude = 0;
  int digits = 0;
  // Reads a run of digits from i into magnitude; kTooMany when the total
  // passes kMaxDigits. Runs go a block of eight units at a time while eight
  // can be read.
  auto read_digits = [&](std::size_t i) {
    uint32_t block = 0;
    while (n - i >= kDigitBlock) {
      const int count = ReadDigitBlock(p + i, block);
      if (count == 0) return i;
      digits += count;
      if (digits > kMaxDigits) return kTooMany;
      magnitude = magnitude * kPowersOfTen[count] + block;
      i += static_cast<std::size_t>(count);
      if (count < static_cast<int>(kDigitBlock)) return i;
    }
    for (; i < n && p[i] >= u'0' && p[i] <= u'9'; ++i) {
      if (++digits > kMaxDigits) return kTooMany;
      magnitude = magnitude * kRadix + static_cast<uint64_t>(p[i] - u'0');
    }
    return i;
  };
  if (pos >= n) return pos;
  std::size_t i = pos;
  bool negative = false;
  if (i < n && (p[i] == u'-' || p[i] == u'+')) {
    negative = p[i] == u'-';
    ++i;
  }
  i = read_digits(i);
  if (i == kTooMany || digits == 0) return pos;
  int scale = 0;
  if (i < n && p[i] == u'.') {
    const int integer_digits = digits;
    i = read_digits(i + 1);
    if (i == kTooMany) return pos;
    scale = digits - integer_digits;
  }
  out = Decimal::FromParts(negative, 0, magnitude, scale);
  return i;
}

// The whole of `text` read by ScanPlainNumber; false when it is no such form.
inline bool TryConvertPlainNumber(std::u16string_view text, Decimal& out) {
  Decimal value;
  if (text.empty() || ScanPlainNumber(text.data(), 0, text.size(), value) != text.size()) {
    return false;
  }
  out = value;
  return true;
}

}  // namespace skyvane::reader_scan

#endif  // SKYVANE_JSON_READER_SCAN_H_
