#include "json/decimal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>

#include "text/run_error.h"

namespace skyvane {
namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr char kMaxMagnitudeText[] = "79228162514264337593543950335";  // 2^96 − 1

Uint128 MagnitudeOf(const Decimal& d) {
  return (Uint128{d.MagnitudeHigh()} << 64) | d.MagnitudeLow();
}

std::string MagnitudeText(const Decimal& d) {
  Uint128 m = MagnitudeOf(d);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(m % 10)));
    m /= 10;
  } while (m != 0);
  return digits;
}

// The error number FromText raises, or 0 when it converts.
int ErrorOf(const std::string& text) {
  try {
    Decimal::FromText(text);
  } catch (const RunError& e) {
    return e.Code();
  }
  return 0;
}

struct Conversion {
  const char* text;
  const char* magnitude;  // digits of the 96-bit magnitude
  int scale;
  bool negative;
  const char* shown;  // ToAscii()
};

void PrintTo(const Conversion& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

std::string CaseName(const ::testing::TestParamInfo<Conversion>& param) {
  return "Case" + std::to_string(param.index);
}

class DecimalConversionTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(DecimalConversionTest, GivesExactPartsAndText) {
  const Conversion& c = GetParam();
  const Decimal d = Decimal::FromText(std::string(c.text));
  EXPECT_EQ(MagnitudeText(d), c.magnitude);
  EXPECT_EQ(d.Scale(), c.scale);
  EXPECT_EQ(d.IsNegative(), c.negative);
  EXPECT_EQ(d.ToAscii(), c.shown);

  // The UTF-16 entry point reads the same text the same way.
  const std::string ascii(c.text);
  const Decimal wide = Decimal::FromText(std::u16string(ascii.begin(), ascii.end()));
  EXPECT_EQ(MagnitudeText(wide), c.magnitude);
  EXPECT_EQ(wide.Scale(), c.scale);
  EXPECT_EQ(wide.IsNegative(), c.negative);
  const std::string shown(c.shown);
  EXPECT_EQ(wide.ToText(), std::u16string(shown.begin(), shown.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DecimalConversionTest,
    ::testing::Values(
        Conversion{"0", "0", 0, false, "0"}, Conversion{"7", "7", 0, false, "7"},
        Conversion{"+7", "7", 0, false, "7"}, Conversion{"-7", "7", 0, true, "-7"},
        Conversion{"0.1", "1", 1, false, "0.1"}, Conversion{"1.5", "15", 1, false, "1.5"},
        Conversion{"-0.25e2", "25", 0, true, "-25"}, Conversion{"1.", "1", 0, false, "1"},
        Conversion{".5", "5", 1, false, "0.5"}, Conversion{"-.5", "5", 1, true, "-0.5"},
        Conversion{"+.5e1", "5", 0, false, "5"}, Conversion{"000123", "123", 0, false, "123"},
        Conversion{"00.0100", "100", 4, false, "0.01"}, Conversion{"1e2", "100", 0, false, "100"},
        Conversion{"1E+2", "100", 0, false, "100"}, Conversion{"15e-1", "15", 1, false, "1.5"},
        Conversion{"1.0e-2", "10", 3, false, "0.01"},
        Conversion{"-65.613616999999977", "65613616999999977", 15, true, "-65.613616999999977"},
        Conversion{"1e-28", "1", 28, false, "0.0000000000000000000000000001"},
        Conversion{"1e28", "10000000000000000000000000000", 0, false,
                   "10000000000000000000000000000"},
        Conversion{"1234567890123456789012", "1234567890123456789012", 0, false,
                   "1234567890123456789012"},
        Conversion{"12345678901234567890.12345678", "1234567890123456789012345678", 8, false,
                   "12345678901234567890.12345678"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(TrailingZerosAndZero, DecimalConversionTest,
                         ::testing::Values(Conversion{"1.50", "150", 2, false, "1.5"},
                                           Conversion{"100.000", "100000", 3, false, "100"},
                                           Conversion{"0.000", "0", 3, false, "0"},
                                           Conversion{"-0", "0", 0, false, "0"},
                                           Conversion{"-0.0", "0", 1, false, "0"},
                                           Conversion{"-0e5", "0", 0, false, "0"},
                                           Conversion{"0e999999999", "0", 0, false, "0"},
                                           Conversion{"-0.00e-999999999", "0", 28, false, "0"},
                                           Conversion{"2.500e1", "2500", 2, false, "25"}),
                         CaseName);

INSTANTIATE_TEST_SUITE_P(
    RoundingAtTheScaleLimit, DecimalConversionTest,
    ::testing::Values(
        // 29 places: the 29th decides, ties go to the even 28th.
        Conversion{"0.00000000000000000000000000015", "2", 28, false,
                   "0.0000000000000000000000000002"},
        Conversion{"0.00000000000000000000000000025", "2", 28, false,
                   "0.0000000000000000000000000002"},
        Conversion{"0.000000000000000000000000000250001", "3", 28, false,
                   "0.0000000000000000000000000003"},
        Conversion{"0.00000000000000000000000000024999", "2", 28, false,
                   "0.0000000000000000000000000002"},
        Conversion{"0.00000000000000000000000000005", "0", 28, false, "0"},
        Conversion{"0.00000000000000000000000000006", "1", 28, false,
                   "0.0000000000000000000000000001"},
        Conversion{"-0.00000000000000000000000000004", "0", 28, false, "0"},
        Conversion{"1e-29", "0", 28, false, "0"}, Conversion{"1e-999999999", "0", 28, false, "0"},
        Conversion{"-1e-99999999999999999999999999", "0", 28, false, "0"},
        Conversion{"3.14159265358979323846264338327950288", "31415926535897932384626433833", 28,
                   false, "3.1415926535897932384626433833"},
        Conversion{"1.2345678901234567890123456789", "12345678901234567890123456789", 28, false,
                   "1.2345678901234567890123456789"},
        Conversion{"10000000000000000000000000000000000000000e-40", "10000000000000000000000000000",
                   28, false, "1"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    RoundingAtTheMagnitudeLimit, DecimalConversionTest,
    ::testing::Values(
        // 29 digits above 2^96 − 1 with places left: one place is given up.
        Conversion{"9.2345678901234567890123456789", "9234567890123456789012345679", 27, false,
                   "9.234567890123456789012345679"},
        Conversion{"7.9228162514264337593543950335", "79228162514264337593543950335", 28, false,
                   "7.9228162514264337593543950335"},
        Conversion{"7.9228162514264337593543950336", "7922816251426433759354395034", 27, false,
                   "7.922816251426433759354395034"},
        Conversion{"79228162514264337593543950334.5", "79228162514264337593543950334", 0, false,
                   "79228162514264337593543950334"},
        Conversion{"79228162514264337593543950334.51", "79228162514264337593543950335", 0, false,
                   "79228162514264337593543950335"},
        Conversion{"-79228162514264337593543950335.4999", "79228162514264337593543950335", 0, true,
                   "-79228162514264337593543950335"},
        Conversion{"7922816251426433759354395033.55", "7922816251426433759354395034", 0, false,
                   "7922816251426433759354395034"},
        Conversion{"7922816251426433759354395032.25", "79228162514264337593543950322", 1, false,
                   "7922816251426433759354395032.2"},
        Conversion{"7.9228162514264337593543950335e28", "79228162514264337593543950335", 0, false,
                   "79228162514264337593543950335"},
        Conversion{"79228162514264337593543950335", "79228162514264337593543950335", 0, false,
                   "79228162514264337593543950335"}),
    CaseName);

TEST(DecimalErrorTest, TextThatIsNoNumberIsATypeMismatch) {
  for (const char* text :
       {"",    ".",   "1-2", "e5",   "1e",    "+",   "-",     "--1",  "+-1",   "1.2.3", "]",
        "1e+", "1e-", "1 ",  " 1",   "1e5.5", "E",   "1+",    "0x10", "1e--5", ".e1",   "-.e1",
        "inf", "nan", "1,5", "1..2", "1e5e5", "..1", "1_000", "+1-",  "1ee2"}) {
    EXPECT_EQ(ErrorOf(text), 13) << '"' << text << '"';
  }
  // Non-ASCII digits and embedded NUL are not digits.
  EXPECT_THROW(Decimal::FromText(std::u16string(u"\u0661")), RunError);
  EXPECT_THROW(Decimal::FromText(std::u16string(u"1\0", 2)), RunError);
  EXPECT_THROW(Decimal::FromText(std::u16string(u"\uFF11")), RunError);
}

TEST(DecimalErrorTest, IntegerPartAbove96BitsOverflows) {
  for (const char* text : {"79228162514264337593543950336", "-79228162514264337593543950336",
                           "79228162514264337593543950335.5",  // rounds up to 2^96
                           "100000000000000000000000000000", "1e29", "1e999999999", "-1e999999999",
                           "1e99999999999999999999999999999", "7.9228162514264337593543950336e28",
                           "0.79228162514264337593543950336e29"}) {
    EXPECT_EQ(ErrorOf(text), 6) << text;
  }
  EXPECT_EQ(ErrorOf(kMaxMagnitudeText), 0);
}

TEST(DecimalErrorTest, LongTextsFinishQuickly) {
  // A long run of digits or an exponent of many digits must not cost time
  // in proportion to the value.
  std::string many_zeros = "0." + std::string(100000, '0') + "1";
  EXPECT_TRUE(Decimal::FromText(many_zeros).IsZero());
  std::string long_integer = "1" + std::string(100000, '0') + "e-100000";
  EXPECT_EQ(Decimal::FromText(long_integer).ToAscii(), "1");
  std::string long_exponent = "1e" + std::string(100000, '9');
  EXPECT_EQ(ErrorOf(long_exponent), 6);
}

TEST(DecimalPartsTest, FromPartsChecksItsArguments) {
  auto code = [](bool negative, uint64_t hi, uint64_t lo, int scale) {
    try {
      Decimal::FromParts(negative, hi, lo, scale);
    } catch (const RunError& e) {
      return e.Code();
    }
    return 0;
  };
  EXPECT_EQ(code(false, 0, 1, -1), 5);
  EXPECT_EQ(code(false, 0, 1, 29), 5);
  EXPECT_EQ(code(false, uint64_t{1} << 32, 0, 0), 5);
  EXPECT_EQ(code(false, 0xFFFFFFFFu, ~uint64_t{0}, 28), 0);

  const Decimal max = Decimal::FromParts(true, 0xFFFFFFFFu, ~uint64_t{0}, 0);
  EXPECT_EQ(max.ToAscii(), std::string("-") + kMaxMagnitudeText);
  EXPECT_FALSE(Decimal::FromParts(true, 0, 0, 3).IsNegative());
  EXPECT_EQ(Decimal::FromParts(false, 0, 5, 28).ToAscii(), "0.0000000000000000000000000005");
}

TEST(DecimalPartsTest, FromInt64CoversTheWholeRange) {
  EXPECT_EQ(Decimal::FromInt64(INT64_MIN).ToAscii(), "-9223372036854775808");
  EXPECT_EQ(Decimal::FromInt64(INT64_MAX).ToAscii(), "9223372036854775807");
  EXPECT_EQ(Decimal::FromInt64(0).ToAscii(), "0");
  EXPECT_EQ(Decimal::FromInt64(-3).ToAscii(), "-3");
}

TEST(DecimalCompareTest, OrdersNumerically) {
  auto d = [](const char* text) { return Decimal::FromText(std::string(text)); };
  EXPECT_EQ(d("1.5"), d("1.50"));
  EXPECT_EQ(d("0"), d("-0.000"));
  EXPECT_EQ(d("100"), d("1e2"));
  EXPECT_FALSE(d("1.5") == d("1.05"));
  // Ascending; each pair is compared in both directions.
  const char* ascending[] = {"-79228162514264337593543950335",  "-1",
                             "-0.0000000000000000000000000001", "0",
                             "0.0000000000000000000000000001",  "0.1",
                             "0.10000000000000000000000001",    "1",
                             "7.9228162514264337593543950335",  "7922816251426433759354395033.5",
                             "79228162514264337593543950335"};
  const size_t n = std::size(ascending);
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = 0; j < n; ++j) {
      const int expected = i < j ? -1 : (i > j ? 1 : 0);
      EXPECT_EQ(Compare(d(ascending[i]), d(ascending[j])), expected)
          << ascending[i] << " vs " << ascending[j];
    }
  }
}

TEST(DecimalTextTest, ToDoubleIsTheNearestDouble) {
  EXPECT_EQ(Decimal::FromText(std::string("0.1")).ToDouble(), 0.1);
  EXPECT_EQ(Decimal::FromText(std::string("-65.613616999999977")).ToDouble(), -65.613616999999977);
  EXPECT_EQ(Decimal::FromText(std::string(kMaxMagnitudeText)).ToDouble(),
            79228162514264337593543950335.0);
  EXPECT_EQ(Decimal::FromText(std::string("-0")).ToDouble(), 0.0);
}

// A slow model of the conversion, on digit strings: round to the scale the
// text asks for (at most 28), then give up places while the magnitude is
// above 2^96 − 1. Used to check the fast code on random texts.
struct Model {
  bool overflow = false;
  std::string magnitude;  // without leading zeros, "0" for zero
  int scale = 0;
};

bool DigitsGreater(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() > b.size();
  return a > b;
}

std::string StripLeadingZeros(const std::string& digits) {
  const size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? "0" : digits.substr(first);
}

// integer.fraction rounded half to even to `places` fraction places.
std::string RoundDigits(const std::string& integer, const std::string& fraction, int places) {
  std::string kept = integer + fraction.substr(0, std::min<size_t>(places, fraction.size()));
  kept.append(places - std::min<size_t>(places, fraction.size()), '0');
  if (fraction.size() > static_cast<size_t>(places)) {
    const char deciding = fraction[places];
    const bool beyond = fraction.find_first_not_of('0', places + 1) != std::string::npos;
    const bool odd = !kept.empty() && (kept.back() - '0') % 2 == 1;
    if (deciding > '5' || (deciding == '5' && (beyond || odd))) {
      int k = static_cast<int>(kept.size()) - 1;
      while (k >= 0 && kept[k] == '9') kept[k--] = '0';
      if (k < 0) {
        kept.insert(kept.begin(), '1');
      } else {
        ++kept[k];
      }
    }
  }
  return StripLeadingZeros(kept);
}

Model Convert(const std::string& integer, const std::string& fraction) {
  Model m;
  for (int scale = std::min<int>(28, static_cast<int>(fraction.size())); scale >= 0; --scale) {
    const std::string magnitude = RoundDigits(integer, fraction, scale);
    if (!DigitsGreater(magnitude, kMaxMagnitudeText)) {
      m.magnitude = magnitude;
      m.scale = scale;
      return m;
    }
  }
  m.overflow = true;
  return m;
}

TEST(DecimalConversionModelTest, RandomTextsMatchASlowModel) {
  std::mt19937_64 rng(20261208);
  for (int round = 0; round < 20000; ++round) {
    // Mostly digits near the limits: 25..32 significant digits, often 9s.
    const int integer_length = static_cast<int>(rng() % 32);
    const int fraction_length = static_cast<int>(rng() % 36);
    auto digit = [&rng]() {
      const uint64_t r = rng() % 16;
      return static_cast<char>(r < 10 ? '0' + r : (r < 13 ? '9' : (r < 15 ? '5' : '0')));
    };
    std::string integer;
    std::string fraction;
    for (int i = 0; i < integer_length; ++i) integer += digit();
    for (int i = 0; i < fraction_length; ++i) fraction += digit();
    if (integer.empty() && fraction.empty()) integer = "0";
    const std::string text = integer + (fraction.empty() ? "" : "." + fraction);

    const Model expected = Convert(integer.empty() ? "0" : integer, fraction);
    try {
      const Decimal d = Decimal::FromText(text);
      ASSERT_FALSE(expected.overflow) << text;
      ASSERT_EQ(MagnitudeText(d), expected.magnitude) << text;
      ASSERT_EQ(d.Scale(), expected.scale) << text;
    } catch (const RunError& e) {
      ASSERT_TRUE(expected.overflow) << text << " raised " << e.Code();
      ASSERT_EQ(e.Code(), 6) << text;
    }
  }
}

TEST(DecimalConversionModelTest, ExponentMovesThePointExactly) {
  // Writing the same number with the point moved and a compensating
  // exponent gives the same parts.
  std::mt19937_64 rng(7);
  for (int round = 0; round < 5000; ++round) {
    std::string digits;
    const int length = 1 + static_cast<int>(rng() % 30);
    for (int i = 0; i < length; ++i) digits += static_cast<char>('0' + rng() % 10);
    const int point = static_cast<int>(rng() % (length + 1));
    const std::string plain = digits.substr(0, point) + "." + digits.substr(point);
    const int shift = static_cast<int>(rng() % 40) - 20;
    std::string moved;
    if (shift >= 0) {
      // Point moved left by `shift` places (zeros added in front as needed).
      std::string padded = std::string(shift, '0') + digits;
      const int moved_point = point;  // same index into the padded digits
      moved = padded.substr(0, moved_point) + "." + padded.substr(moved_point) + "e" +
              std::to_string(shift);
    } else {
      std::string padded = digits + std::string(-shift, '0');
      const int moved_point = point - shift;
      moved = padded.substr(0, moved_point) + "." + padded.substr(moved_point) + "e" +
              std::to_string(shift);
    }
    int plain_error = 0;
    int moved_error = 0;
    Decimal a;
    Decimal b;
    try {
      a = Decimal::FromText(plain);
    } catch (const RunError& e) {
      plain_error = e.Code();
    }
    try {
      b = Decimal::FromText(moved);
    } catch (const RunError& e) {
      moved_error = e.Code();
    }
    ASSERT_EQ(plain_error, moved_error) << plain << " / " << moved;
    if (plain_error == 0) {
      // Trailing zeros brought in by the move may raise the scale, never the value.
      ASSERT_EQ(Compare(a, b), 0) << plain << " / " << moved;
      ASSERT_EQ(a.ToAscii(), b.ToAscii()) << plain << " / " << moved;
      if (shift >= 0) {
        ASSERT_EQ(a.Scale(), b.Scale()) << plain << " / " << moved;
      }
    }
  }
}

TEST(DecimalTextTest, TextRoundTripsThroughConversion) {
  std::mt19937_64 rng(96);
  for (int round = 0; round < 20000; ++round) {
    const uint64_t hi = rng() >> (rng() % 65 < 32 ? 32 : 63);
    const uint64_t lo = rng() >> (rng() % 64);
    const int scale = static_cast<int>(rng() % 29);
    const Decimal d = Decimal::FromParts(rng() % 2 == 0, hi & 0xFFFFFFFFu, lo, scale);
    const std::string text = d.ToAscii();
    ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << text;
    if (text.find('.') != std::string::npos) {
      ASSERT_NE(text.back(), '0') << text;
    }
    const Decimal back = Decimal::FromText(text);
    ASSERT_EQ(Compare(back, d), 0) << text;
    ASSERT_EQ(back.ToAscii(), text);
  }
}

}  // namespace
}  // namespace skyvane
