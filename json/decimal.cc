#include "json/decimal.h"

#include <charconv>
#include <cstddef>

#include "text/run_error.h"

namespace skyvane {
namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr Uint128 kMaxMagnitude = (Uint128{1} << 96) - 1;
// 2^96 − 1 has 29 digits; a 30th digit is the one that decides rounding.
constexpr int kMaxMagnitudeDigits = 29;
constexpr int kCollectedDigits = kMaxMagnitudeDigits + 1;
// Any uint64_t holds a number of 19 decimal digits.
constexpr int kFastDigits = 19;
// Exponents are clamped here while they are read: far beyond the digit count
// of any text, so the result is the same, and far from int64_t overflow.
constexpr int64_t kExponentClamp = 1'000'000'000'000;
constexpr int kRadix = 10;
constexpr unsigned kHalfDigit = 5;
constexpr uint32_t kBitsPerWord = 64;

const char kNotANumber[] = "Type mismatch: not a number";
const char kOutOfRange[] = "Overflow: number out of the Decimal range";

// What a scan of a number text finds; the digits themselves are only
// gathered (into Digits) when the fast path does not apply.
struct Scanned {
  // How many significant digits (leading zeros excluded) the text has.
  int64_t count = 0;
  // Value of the first min(count, kFastDigits) significant digits.
  uint64_t fast = 0;
  // Text index of the first significant digit (when count > 0).
  size_t first = 0;
  // Text index just past the digits before the exponent.
  size_t mantissa_end = 0;
  // Value = significant digits × 10^exponent.
  int64_t exponent = 0;
  bool negative = false;
};

// The leading significant digits, for conversions that must round.
struct Digits {
  uint8_t digits[kCollectedDigits];
  int64_t count = 0;
  // Index of the last non-zero significant digit, -1 when all are zero.
  int64_t last_nonzero = -1;
};

template <typename Char>
constexpr bool IsDigit(Char c) {
  return c >= Char('0') && c <= Char('9');
}

template <typename Char>
constexpr bool IsSign(Char c) {
  return c == Char('+') || c == Char('-');
}

// Reads a run of digits into `s`; returns how many there were. Only the
// first kFastDigits significant digits are accumulated: nearly every number
// in practice has no more, and the rest are gathered later if needed.
template <typename Char>
size_t ReadDigits(const Char* p, size_t n, size_t& i, Scanned& s) {
  const size_t start = i;
  if (s.count == 0) {
    while (i < n && p[i] == Char('0')) ++i;
    s.first = i;
  }
  while (i < n && s.count < kFastDigits && IsDigit(p[i])) {
    s.fast = s.fast * kRadix + static_cast<unsigned>(p[i] - Char('0'));
    ++s.count;
    ++i;
  }
  while (i < n && IsDigit(p[i])) {
    ++s.count;
    ++i;
  }
  return i - start;
}

template <typename Char>
void GatherDigits(const Char* p, const Scanned& s, Digits& d) {
  for (size_t i = s.first; i < s.mantissa_end; ++i) {
    if (!IsDigit(p[i])) continue;  // the point
    const unsigned digit = static_cast<unsigned>(p[i] - Char('0'));
    if (d.count < kCollectedDigits) d.digits[d.count] = static_cast<uint8_t>(digit);
    if (digit != 0) d.last_nonzero = d.count;
    ++d.count;
  }
}

// Reads [sign] digits ["." [digits]] [exp] or [sign] "." digits [exp].
// Returns false when the text has another form.
template <typename Char>
bool Scan(const Char* p, size_t n, Scanned& s) {
  size_t i = 0;
  if (i < n && IsSign(p[i])) {
    s.negative = p[i] == Char('-');
    ++i;
  }
  bool any_digit = ReadDigits(p, n, i, s) > 0;
  int64_t fraction_digits = 0;
  if (i < n && p[i] == Char('.')) {
    ++i;
    fraction_digits = static_cast<int64_t>(ReadDigits(p, n, i, s));
    any_digit = any_digit || fraction_digits > 0;
  }
  if (!any_digit) return false;
  s.mantissa_end = i;
  int64_t exponent = 0;
  if (i < n && (p[i] == Char('e') || p[i] == Char('E'))) {
    ++i;
    bool exponent_negative = false;
    if (i < n && IsSign(p[i])) {
      exponent_negative = p[i] == Char('-');
      ++i;
    }
    if (i >= n || !IsDigit(p[i])) return false;
    while (i < n && IsDigit(p[i])) {
      if (exponent < kExponentClamp) exponent = exponent * kRadix + (p[i] - Char('0'));
      ++i;
    }
    if (exponent > kExponentClamp) exponent = kExponentClamp;
    if (exponent_negative) exponent = -exponent;
  }
  if (i != n) return false;
  s.exponent = exponent - fraction_digits;
  return true;
}

Uint128 PowerOfTen(int64_t power) {
  Uint128 result = 1;
  for (int64_t k = 0; k < power; ++k) result *= kRadix;
  return result;
}

// The magnitude at `scale`, rounded half to even; false when it exceeds
// 2^96 − 1.
bool MagnitudeAt(const Digits& s, int64_t exponent, int64_t scale, Uint128& magnitude) {
  const int64_t shift = exponent + scale;
  if (shift >= 0) {
    if (s.count + shift > kMaxMagnitudeDigits) return false;
    magnitude = 0;
    for (int64_t k = 0; k < s.count; ++k) magnitude = magnitude * kRadix + s.digits[k];
    magnitude *= PowerOfTen(shift);
    return magnitude <= kMaxMagnitude;
  }
  const int64_t kept = s.count + shift;
  if (kept > kMaxMagnitudeDigits) return false;
  magnitude = 0;
  if (kept < 0) return true;  // below half a unit of the last place
  for (int64_t k = 0; k < kept; ++k) magnitude = magnitude * kRadix + s.digits[k];
  const unsigned deciding = s.digits[kept];
  const bool beyond = s.last_nonzero > kept;
  if (deciding > kHalfDigit || (deciding == kHalfDigit && (beyond || (magnitude & 1) != 0))) {
    ++magnitude;
  }
  return magnitude <= kMaxMagnitude;
}

template <typename Char>
Decimal Convert(const Char* p, size_t n) {
  Scanned s;
  if (!Scan(p, n, s)) Raise(ErrorNumber::kTypeMismatch, kNotANumber);
  // The scale the text asks for: its fraction places, trailing zeros kept.
  int64_t scale = -s.exponent;
  if (scale < 0) scale = 0;
  if (scale > Decimal::kMaxScale) scale = Decimal::kMaxScale;
  if (s.count == 0) return Decimal::FromParts(false, 0, 0, static_cast<int>(scale));
  if (s.count <= kFastDigits && s.exponent <= 0 && s.exponent >= -Decimal::kMaxScale) {
    return Decimal::FromParts(s.negative, 0, s.fast, static_cast<int>(scale));
  }
  Digits digits;
  GatherDigits(p, s, digits);
  for (;; --scale) {
    Uint128 magnitude = 0;
    if (MagnitudeAt(digits, s.exponent, scale, magnitude)) {
      return Decimal::FromParts(s.negative, static_cast<uint64_t>(magnitude >> kBitsPerWord),
                                static_cast<uint64_t>(magnitude), static_cast<int>(scale));
    }
    if (scale == 0) Raise(ErrorNumber::kOverflow, kOutOfRange);
  }
}

Uint128 Magnitude(const Decimal& d) {
  return (Uint128{d.MagnitudeHigh()} << kBitsPerWord) | d.MagnitudeLow();
}

// Writes the digits of `d` into `out`, returns the length. `out` must hold
// kMaxMagnitudeDigits + kMaxScale + 3 characters.
constexpr size_t kTextCapacity = kMaxMagnitudeDigits + Decimal::kMaxScale + 3;

size_t Format(const Decimal& d, char* out) {
  char digits[kMaxMagnitudeDigits + Decimal::kMaxScale + 1];
  int count = 0;
  Uint128 m = Magnitude(d);
  int scale = d.Scale();
  // Trailing fraction zeros are not shown.
  while (scale > 0 && m % kRadix == 0) {
    m /= kRadix;
    --scale;
  }
  do {
    digits[count++] = static_cast<char>('0' + static_cast<int>(m % kRadix));
    m /= kRadix;
  } while (m != 0);
  // At least one integer digit.
  while (count <= scale) digits[count++] = '0';
  size_t length = 0;
  if (d.IsNegative()) out[length++] = '-';
  for (int k = count - 1; k >= 0; --k) {
    if (k == scale - 1) out[length++] = '.';
    out[length++] = digits[k];
  }
  return length;
}

}  // namespace

void Decimal::RaiseInvalidParts(int scale) {
  if (scale < 0 || scale > kMaxScale) {
    Raise(ErrorNumber::kInvalidArgument, "Decimal scale outside 0..28");
  }
  Raise(ErrorNumber::kInvalidArgument, "Decimal magnitude wider than 96 bits");
}

Decimal Decimal::FromInt64(int64_t value) {
  const bool negative = value < 0;
  // Negating in unsigned arithmetic keeps INT64_MIN exact.
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  return FromParts(negative, 0, magnitude, 0);
}

Decimal Decimal::FromText(std::u16string_view text) {
  return Convert(text.data(), text.size());
}

Decimal Decimal::FromText(std::string_view ascii) {
  return Convert(ascii.data(), ascii.size());
}

std::u16string Decimal::ToText() const {
  char buffer[kTextCapacity];
  const size_t length = Format(*this, buffer);
  return std::u16string(buffer, buffer + length);
}

std::string Decimal::ToAscii() const {
  char buffer[kTextCapacity];
  return std::string(buffer, Format(*this, buffer));
}

double Decimal::ToDouble() const {
  char buffer[kTextCapacity];
  const size_t length = Format(*this, buffer);
  double value = 0;
  // from_chars is locale-independent and correctly rounded.
  std::from_chars(buffer, buffer + length, value);
  return value;
}

bool operator==(const Decimal& a, const Decimal& b) {
  return Compare(a, b) == 0;
}

int Compare(const Decimal& a, const Decimal& b) {
  if (a.IsNegative() != b.IsNegative()) return a.IsNegative() ? -1 : 1;
  const int sign = a.IsNegative() ? -1 : 1;
  Uint128 ma = Magnitude(a);
  Uint128 mb = Magnitude(b);
  int sa = a.Scale();
  int sb = b.Scale();
  // Bring both to the larger scale. Once a magnitude passes 2^96 − 1 it is
  // larger than any magnitude of the other side, which stops the growth
  // well inside 128 bits.
  while (sa < sb) {
    if (ma > kMaxMagnitude) return sign;
    ma *= kRadix;
    ++sa;
  }
  while (sb < sa) {
    if (mb > kMaxMagnitude) return -sign;
    mb *= kRadix;
    ++sb;
  }
  if (ma == mb) return 0;
  return ma < mb ? -sign : sign;
}

}  // namespace skyvane
