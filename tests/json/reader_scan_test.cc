#include "json/reader_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "text/run_error.h"
#include "text/utf.h"

namespace skyvane::reader_scan {
namespace {

// Random texts drawn from `alphabet`, every start position and length, so
// that the vector loops meet their boundaries at every offset.
std::vector<std::u16string> RandomTexts(std::u16string_view alphabet, int count) {
  std::mt19937 random(7);
  std::vector<std::u16string> texts;
  for (int i = 0; i < count; ++i) {
    std::u16string text(random() % 40, u' ');
    for (char16_t& c : text) c = alphabet[random() % alphabet.size()];
    texts.push_back(std::move(text));
  }
  return texts;
}

TEST(ReaderScanTest, SkipLayoutBlanksStopsAtTheFirstOtherUnit) {
  for (const std::u16string& text : RandomTexts(u"    \t\r\n()x/\u2028\u0120", 3000)) {
    for (std::size_t pos = 0; pos <= text.size(); ++pos) {
      std::size_t expected = pos;
      while (expected < text.size() &&
             std::u16string_view(u"\t\n\r ()").find(text[expected]) != std::u16string_view::npos) {
        ++expected;
      }
      ASSERT_EQ(SkipLayoutBlanks(text.data(), pos, text.size()), expected)
          << Utf16ToUtf8(text) << " from " << pos;
    }
  }
}

TEST(ReaderScanTest, FindQuoteOrBackslashFindsTheFirst) {
  for (const std::u16string& text : RandomTexts(u"abcdefgh\"'\\\u5c22\u2722", 3000)) {
    for (char16_t quote : {u'"', u'\''}) {
      for (std::size_t pos = 0; pos <= text.size(); ++pos) {
        const std::size_t found = text.find_first_of(std::u16string{quote, u'\\'}, pos);
        const std::size_t expected = found == std::u16string::npos ? text.size() : found;
        ASSERT_EQ(FindQuoteOrBackslash(text.data(), pos, text.size(), quote), expected)
            << Utf16ToUtf8(text) << " from " << pos;
      }
    }
  }
}

TEST(ReaderScanTest, FindKeySpecialFindsTheFirst) {
  const std::u16string specials = u"\"':\r\n\t ";
  for (const std::u16string& text : RandomTexts(u"abcdefgh\"':\r\n\t \u3a22\u203a", 3000)) {
    for (std::size_t pos = 0; pos <= text.size(); ++pos) {
      const std::size_t found = text.find_first_of(specials, pos);
      const std::size_t expected = found == std::u16string::npos ? text.size() : found;
      ASSERT_EQ(FindKeySpecial(text.data(), pos, text.size()), expected)
          << Utf16ToUtf8(text) << " from " << pos;
    }
  }
}

TEST(ReaderScanTest, ScansNeverReadPastTheEnd) {
  // The units past n would be taken if they were read.
  const std::u16string blanks(16, u' ');
  const std::u16string quotes(16, u'"');
  for (std::size_t n = 0; n <= 8; ++n) {
    EXPECT_EQ(SkipLayoutBlanks(blanks.data(), 0, n), n);
    EXPECT_EQ(FindQuoteOrBackslash((u"abcdefgh" + quotes).data(), 0, n, u'"'), n);
    EXPECT_EQ(FindKeySpecial((u"abcdefgh" + quotes).data(), 0, n), n);
  }
  // A position already past the end (after a "\u" escape) stays where it is.
  EXPECT_EQ(SkipLayoutBlanks(blanks.data(), 7, 4), 7u);
  EXPECT_EQ(FindQuoteOrBackslash(quotes.data(), 7, 4, u'"'), 7u);
  EXPECT_EQ(FindKeySpecial(quotes.data(), 7, 4), 7u);
}

// The vector loops narrow units to bytes: units whose low byte, or whose
// narrowed byte, is one of the units looked for must never match, and the
// loops, now sixteen units wide, must stop at n.
TEST(ReaderScanTest, WideUnitsNeverPassForTheUnitsLookedFor) {
  const std::u16string_view wide =
      u"\u0122\u0127\u015c\u013a\u0120\u010a\u010d\u0109\u0128\u8022\u80ff\u00ff\u7fff\uff20";
  const std::u16string_view specials = u"\"'\\:\r\n\t ()";
  std::u16string alphabet(wide);
  alphabet += wide;
  alphabet += specials;
  for (const std::u16string& text : RandomTexts(alphabet, 3000)) {
    for (std::size_t pos = 0; pos <= text.size(); ++pos) {
      std::size_t blanks_end = pos;
      while (blanks_end < text.size() && std::u16string_view(u"\t\n\r ()").find(text[blanks_end]) !=
                                             std::u16string_view::npos) {
        ++blanks_end;
      }
      ASSERT_EQ(SkipLayoutBlanks(text.data(), pos, text.size()), blanks_end)
          << Utf16ToUtf8(text) << " from " << pos;
      const std::size_t key_end = std::min(text.find_first_of(u"\"':\r\n\t ", pos), text.size());
      ASSERT_EQ(FindKeySpecial(text.data(), pos, text.size()), key_end)
          << Utf16ToUtf8(text) << " from " << pos;
      for (char16_t quote : {u'"', u'\''}) {
        const std::size_t string_end =
            std::min(text.find_first_of(std::u16string{quote, u'\\'}, pos), text.size());
        ASSERT_EQ(FindQuoteOrBackslash(text.data(), pos, text.size(), quote), string_end)
            << Utf16ToUtf8(text) << " from " << pos;
      }
    }
  }
  const std::u16string blanks(32, u' ');
  const std::u16string plain_then_quotes = std::u16string(16, u'a') + std::u16string(16, u'"');
  for (std::size_t n = 0; n <= 16; ++n) {
    EXPECT_EQ(SkipLayoutBlanks(blanks.data(), 0, n), n);
    EXPECT_EQ(FindQuoteOrBackslash(plain_then_quotes.data(), 0, n, u'"'), n);
    EXPECT_EQ(FindKeySpecial(plain_then_quotes.data(), 0, n), n);
  }
}

TEST(ReaderScanTest, NumberCharsAreExactlyTheFifteen) {
  const std::u16string_view set = u"+-0123456789.eE";
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    EXPECT_EQ(IsNumberChar(static_cast<char16_t>(c)),
              set.find(static_cast<char16_t>(c)) != std::u16string_view::npos)
        << static_cast<unsigned>(c);
  }
}

// Runs of every length up to past the 19-digit limit, in front of every
// kind of unit that ends them (among them the units beside "0" and "9" and
// ones whose low byte is a digit), with room behind so that whole blocks
// can be read: the block reader must count and convert exactly the digits.
TEST(ReaderScanTest, DigitRunsEndExactlyAtTheFirstOtherUnit) {
  const std::u16string digits = u"9876543210123456789012345";
  for (char16_t stop : {u'/', u':', u',', u'.', u'e', u'\u0130', u'\u0139', u' '}) {
    for (std::size_t length = 0; length <= 21; ++length) {
      for (std::size_t fraction = 0; fraction <= 12; fraction += 3) {
        std::u16string text = digits.substr(0, length);
        if (fraction > 0) text.append(u".").append(digits, length, fraction);
        const std::size_t form = text.size();
        // After bare integer digits a "." would open a fraction.
        if (stop == u'.' && fraction == 0) continue;
        text += stop;
        text += u"12345678";
        Decimal plain;
        const std::size_t end = ScanPlainNumber(text.data(), 0, text.size(), plain);
        const bool fits = length > 0 && length + fraction <= 19;
        const std::size_t expected_end = fits ? form : 0;
        ASSERT_EQ(end, expected_end) << Utf16ToUtf8(text);
        if (!fits) continue;
        const Decimal expected = Decimal::FromText(text.substr(0, expected_end));
        EXPECT_EQ(plain.MagnitudeLow(), expected.MagnitudeLow()) << Utf16ToUtf8(text);
        EXPECT_EQ(plain.Scale(), expected.Scale()) << Utf16ToUtf8(text);
      }
    }
  }
}

// The plain conversion must agree with FromText wherever it answers.
TEST(ReaderScanTest, PlainNumbersConvertAsFromTextDoes) {
  std::vector<std::u16string> texts = {u"0",
                                       u"-0",
                                       u"+0",
                                       u"-0.000",
                                       u"1",
                                       u"+7",
                                       u"-65.613616999999977",
                                       u"1.50",
                                       u"1.",
                                       u"007",
                                       u"0.1",
                                       u"-1.5",
                                       u"18446744073709551615",
                                       u"9999999999999999999",
                                       u"1234567890.123456789",
                                       u"0.0000000000000000001",
                                       u"123456789012345678.9",
                                       u"12345678901234567890",
                                       u".5",
                                       u"-",
                                       u"",
                                       u"1e5",
                                       u"1.2.3",
                                       u"--1",
                                       u"1-",
                                       u"+",
                                       u".",
                                       u"00000000000000000001",
                                       u"1.000000000000000000"};
  std::mt19937 random(11);
  for (int i = 0; i < 20000; ++i) {
    std::u16string text;
    const int length = 1 + static_cast<int>(random() % 24);
    for (int k = 0; k < length; ++k) text += u"0123456789.-+9"[random() % 14];
    texts.push_back(text);
  }
  int converted = 0;
  for (const std::u16string& text : texts) {
    Decimal plain;
    if (!TryConvertPlainNumber(text, plain)) continue;
    ++converted;
    Decimal expected;
    ASSERT_NO_THROW(expected = Decimal::FromText(text)) << Utf16ToUtf8(text);
    EXPECT_EQ(plain.IsNegative(), expected.IsNegative()) << Utf16ToUtf8(text);
    EXPECT_EQ(plain.MagnitudeHigh(), expected.MagnitudeHigh()) << Utf16ToUtf8(text);
    EXPECT_EQ(plain.MagnitudeLow(), expected.MagnitudeLow()) << Utf16ToUtf8(text);
    EXPECT_EQ(plain.Scale(), expected.Scale()) << Utf16ToUtf8(text);
  }
  EXPECT_GT(converted, 1000);
  Decimal untouched = Decimal::FromInt64(42);
  for (const char16_t* text : {u".5", u"1e5", u"12345678901234567890", u"-", u""}) {
    EXPECT_FALSE(TryConvertPlainNumber(text, untouched)) << Utf16ToUtf8(text);
  }
  EXPECT_EQ(untouched, Decimal::FromInt64(42));
}

}  // namespace
}  // namespace skyvane::reader_scan
