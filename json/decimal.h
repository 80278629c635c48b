// Decimal: an exact decimal number, as every JSON number is held.
//
// Value = (negative ? -1 : 1) × magnitude ÷ 10^scale, where magnitude is an
// unsigned 96-bit integer (0 .. 2^96 − 1) and scale is 0 .. 28. Numbers are
// never held as floating point.
//
// Conversion from text (FromText) accepts, over ASCII code units only:
//   [sign] digits [ "." [digits] ] [ ("e"|"E") [sign] digits ]
//   [sign] "." digits [ ("e"|"E") [sign] digits ]
// where sign is "+" or "-". Nothing else (no blanks, no trailing sign, no
// hex, no "inf"/"nan"). Further rules:
//   - Trailing zeros of the fraction are kept in the scale as written
//     ("1.50" has magnitude 150, scale 2); ToText() drops them.
//   - Digits beyond what fits (more than 28 places after the point, or a
//     magnitude beyond 2^96 − 1 while places remain to give up) are rounded
//     half to even, the scale being lowered as far as needed.
//   - A value whose integer part alone exceeds 2^96 − 1 (also after
//     rounding) raises RunError kOverflow (6).
//   - Text that does not have the form above raises RunError
//     kTypeMismatch (13); the empty text included.
//   - Exponents of any size are accepted: a huge positive one overflows
//     (unless the digits are zero), a huge negative one rounds to zero.
//   - Negative zero is zero: IsNegative() is false for it.
#ifndef SKYVANE_JSON_DECIMAL_H_
#define SKYVANE_JSON_DECIMAL_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace skyvane {

class Decimal {
 public:
  static constexpr int kMaxScale = 28;

  // Zero.
  constexpr Decimal() = default;
  // Builds a value from its parts: magnitude = hi × 2^64 + lo. Raises
  // kInvalidArgument when scale is outside 0..28 or hi has bits above 32.
  static Decimal FromParts(bool negative, uint64_t hi, uint64_t lo, int scale) {
    if (scale < 0 || scale > kMaxScale || hi > UINT32_MAX) RaiseInvalidParts(scale);
    return Decimal(negative && (hi != 0 || lo != 0), static_cast<uint32_t>(hi), lo,
                   static_cast<uint8_t>(scale));
  }
  static Decimal FromInt64(int64_t value);
  // See the header comment for the accepted forms and the errors.
  static Decimal FromText(std::u16string_view text);
  static Decimal FromText(std::string_view ascii);

  bool IsNegative() const { return negative_; }
  bool IsZero() const { return hi_ == 0 && lo_ == 0; }
  int Scale() const { return scale_; }
  // The high 32 bits of the 96-bit magnitude.
  uint32_t MagnitudeHigh() const { return hi_; }
  // The low 64 bits of the 96-bit magnitude.
  uint64_t MagnitudeLow() const { return lo_; }

  // The value in plain decimal notation, never with an exponent: an optional
  // "-", at least one integer digit, and "." with the fraction only when the
  // fraction is not zero, trailing zeros dropped ("1.50" -> "1.5",
  // "100" -> "100", "0.000" -> "0", "-0.25" -> "-0.25").
  std::u16string ToText() const;
  std::string ToAscii() const;
  // The nearest double (for display decisions only, never for storage).
  double ToDouble() const;

  // Numeric comparison: 1.5 == 1.50.
  friend bool operator==(const Decimal& a, const Decimal& b);
  friend int Compare(const Decimal& a, const Decimal& b);

 private:
  // JsonValue packs the parts beside its kind and unpacks them unchecked.
  friend class JsonValue;
  constexpr Decimal(bool negative, uint32_t hi, uint64_t lo, uint8_t scale)
      : lo_(lo), hi_(hi), scale_(scale), negative_(negative) {}
  // Raises the failure of FromParts for parts it refuses.
  [[noreturn]] static void RaiseInvalidParts(int scale);

  uint64_t lo_ = 0;
  uint32_t hi_ = 0;
  uint8_t scale_ = 0;
  bool negative_ = false;
};

}  // namespace skyvane

#endif  // SKYVANE_JSON_DECIMAL_H_
