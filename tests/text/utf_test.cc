#include "text/utf.h"

#include <gtest/gtest.h>
#include <unicode/ustring.h>

#include <random>
#include <string>

namespace skyvane {
namespace {

constexpr char16_t kFffd = 0xFFFD;

struct Decoding {
  std::string bytes;
  std::u16string text;
};

TEST(Utf, DecodesWellFormedText) {
  const Decoding cases[] = {
      {"", u""},
      {"abc", u"abc"},
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
      {"\xC3\xA9", u"\u00E9"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"\xEF\xBB\xBFx", u"\uFEFFx"},  // a byte-order mark is kept unless stripped
  };
  for (const Decoding& c : cases) EXPECT_EQ(Utf8ToUtf16(c.bytes), c.text);
}

TEST(Utf, ReplacesEachMaximalBadSubsequence) {
  const std::u16string r(1, kFffd);
  const Decoding cases[] = {
      {"\x80", r},
      {"\xFF", r},
      {"\xC0\xAF", r + r},                  // overlong lead, then a stray continuation
      {"\xE0\x80\x80", r + r + r},          // overlong three-byte form
      {"\xED\xA0\x80", r + r + r},          // an encoded surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},  // past U+10FFFF
      {"\xF5\x80", r + r},
      {"\xE2\x82", r},          // cut short at the end
      {"\xE2\x82x", r + u"x"},  // cut short by an ASCII byte
      {"\xF0\x9F\x98", r},
      {"\xF0\x9F\x98\xF0\x9F\x98\x80", r + u"\U0001F600"},
      {"a\xC3", u"a" + r},
  };
  for (const Decoding& c : cases) EXPECT_EQ(Utf8ToUtf16(c.bytes), c.text);
}

TEST(Utf, EncodesAndReplacesLoneSurrogates) {
  struct Case {
    std::u16string text;
    std::string bytes;
  };
  const std::string r = "\xEF\xBF\xBD";
  const Case cases[] = {
      {u"", ""},
      {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
      {u"\u00E9\u20AC", "\xC3\xA9\xE2\x82\xAC"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {u"\xD800", r},
      {u"\xDC00\xD800", r + r},  // a pair in the wrong order is two lone halves
      {u"a\xD83D", "a" + r},
      {u"\xD83Dx", r + "x"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf16ToUtf8(c.text), c.bytes);
}

TEST(Utf, TellsTheSurrogateRangesApartAtTheirEdges) {
  struct Unit {
    char16_t c;
    bool high;
    bool low;
  };
  const Unit cases[] = {
      {0xD7FF, false, false}, {0xD800, true, false},  {0xDBFF, true, false}, {0xDC00, false, true},
      {0xDFFF, false, true},  {0xE000, false, false}, {u'a', false, false},  {0xFFFF, false, false},
  };
  for (const Unit& u : cases) {
    SCOPED_TRACE(static_cast<int>(u.c));
    EXPECT_EQ(IsHighSurrogate(u.c), u.high);
    EXPECT_EQ(IsLowSurrogate(u.c), u.low);
  }
}

TEST(Utf, StripsOneLeadingByteOrderMark) {
  EXPECT_EQ(StripByteOrderMark("\xEF\xBB\xBFjson"), "json");
  EXPECT_EQ(StripByteOrderMark("\xEF\xBB\xBF"), "");
  EXPECT_EQ(StripByteOrderMark("\xEF\xBB\xBF\xEF\xBB\xBF"), "\xEF\xBB\xBF");
  EXPECT_EQ(StripByteOrderMark("\xEF\xBBjson"), "\xEF\xBBjson");
  EXPECT_EQ(StripByteOrderMark("x\xEF\xBB\xBF"), "x\xEF\xBB\xBF");
  EXPECT_EQ(StripByteOrderMark(""), "");
}

// ICU substitutes per maximal subpart too; random bytes biased towards the
// interesting lead and continuation ranges must decode the same way.
TEST(Utf, AgreesWithIcuOnRandomInput) {
  std::mt19937 random(11);
  const unsigned char interesting[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
                                       0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
  for (int round = 0; round < 5000; ++round) {
    std::string bytes(std::uniform_int_distribution<size_t>(0, 10)(random), '\0');
    for (char& b : bytes) {
      b = static_cast<char>(interesting[std::uniform_int_distribution<size_t>(
          0, std::size(interesting) - 1)(random)]);
    }
    std::u16string expected(bytes.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(expected.data(), static_cast<int32_t>(expected.size()), &length,
                         bytes.data(), static_cast<int32_t>(bytes.size()), kFffd, nullptr, &status);
    ASSERT_FALSE(U_FAILURE(status));
    expected.resize(static_cast<size_t>(length));
    ASSERT_EQ(Utf8ToUtf16(bytes), expected) << "round " << round;

    std::u16string text(std::uniform_int_distribution<size_t>(0, 8)(random), u'\0');
    for (char16_t& c : text) {
      const char16_t picks[] = {u'a', 0x7FF, 0x800, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xFFFF};
      c = picks[std::uniform_int_distribution<size_t>(0, std::size(picks) - 1)(random)];
    }
    std::string encoded(text.size() * 3 + 1, '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(encoded.data(), static_cast<int32_t>(encoded.size()), &length, text.data(),
                       static_cast<int32_t>(text.size()), kFffd, nullptr, &status);
    ASSERT_FALSE(U_FAILURE(status));
    encoded.resize(static_cast<size_t>(length));
    ASSERT_EQ(Utf16ToUtf8(text), encoded) << "round " << round;
    // Well-formed text survives the round trip unchanged.
    const std::u16string cleaned = Utf8ToUtf16(encoded);
    EXPECT_EQ(Utf16ToUtf8(cleaned), encoded);
  }
}

}  // namespace
}  // namespace skyvane
