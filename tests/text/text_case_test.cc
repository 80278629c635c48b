#include "text/text_case.h"

#include <gtest/gtest.h>
#include <unicode/uloc.h>

#include <random>
#include <string>

namespace skyvane {
namespace {

// Runs each test under a chosen default locale and puts the old one back.
class TextCaseTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = uloc_getDefault();
    UseLocale("en_US");
  }
  void TearDown() override { UseLocale(saved_.c_str()); }
  static void UseLocale(const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    uloc_setDefault(locale, &status);
    ASSERT_FALSE(U_FAILURE(status)) << locale;
  }

 private:
  std::string saved_;
};

struct Mapping {
  std::u16string input;
  std::u16string lower;
  std::u16string upper;
};

TEST_F(TextCaseTest, MapsCaseAcrossScripts) {
  const Mapping cases[] = {
      {u"", u"", u""},
      {u"Hello, World 123", u"hello, world 123", u"HELLO, WORLD 123"},
      {u"I i", u"i i", u"I I"},                                   // no Turkic dots by default
      {u"stra\u00DFe", u"stra\u00DFe", u"STRASSE"},               // sharp s grows to SS
      {u"\u039F\u0394\u039F\u03A3", u"\u03BF\u03B4\u03BF\u03C2",  // final sigma
       u"\u039F\u0394\u039F\u03A3"},
      {u"\u03B1\u03B2\u03B3", u"\u03B1\u03B2\u03B3", u"\u0391\u0392\u0393"},
      {u"\u00C9t\u00E9", u"\u00E9t\u00E9", u"\u00C9T\u00C9"},
      {u"\U0001040F\U00010437", u"\U00010437\U00010437", u"\U0001040F\U0001040F"},  // Deseret
      {std::u16string(u"a\0B", 3), std::u16string(u"a\0b", 3), std::u16string(u"A\0B", 3)},
      {u"\xD800x\xDC00", u"\xD800x\xDC00", u"\xD800X\xDC00"},  // lone surrogates kept
  };
  for (const Mapping& c : cases) {
    EXPECT_EQ(LowerCase(c.input), c.lower);
    EXPECT_EQ(UpperCase(c.input), c.upper);
  }
}

TEST_F(TextCaseTest, FollowsTheDefaultLocale) {
  UseLocale("tr_TR");
  EXPECT_EQ(LowerCase(u"I"), u"\u0131");
  EXPECT_EQ(UpperCase(u"i"), u"\u0130");
  EXPECT_TRUE(EqualsIgnoreCase(u"I", u"\u0131"));
  EXPECT_FALSE(EqualsIgnoreCase(u"I", u"i"));
  EXPECT_TRUE(EqualsIgnoreCase(u"\u0130", u"i"));
  EXPECT_EQ(FindIgnoreCase(u"xABIy", u"bi"), std::u16string_view::npos);
  EXPECT_EQ(FindIgnoreCase(u"xABIy", u"b\u0131"), 2u);
  EXPECT_EQ(FindIgnoreCase(u"xAB\u0130y", u"bi"), 2u);
  UseLocale("en_US");
  EXPECT_TRUE(EqualsIgnoreCase(u"I", u"i"));
  EXPECT_EQ(FindIgnoreCase(u"xABIy", u"bi"), 2u);
}

TEST_F(TextCaseTest, ComparesWithFullCaseFolding) {
  struct Case {
    std::u16string a;
    std::u16string b;
    bool equal;
  };
  const Case cases[] = {
      {u"", u"", true},
      {u"abc", u"ABC", true},
      {u"abc", u"abd", false},
      {u"a", u"", false},
      {u"Stra\u00DFe", u"STRASSE", true},
      {u"\u03A3", u"\u03C2", true},
      {u"\u212A", u"k", true},  // KELVIN SIGN
      {u"\u017F", u"S", true},  // LONG S
      {std::u16string(u"a\0b", 3), std::u16string(u"A\0B", 3), true},
      {std::u16string(u"a\0b", 3), u"a", false},
      {u"\xD800", u"\xD800", true},
      {u"\xD800", u"\xDC00", false},
  };
  for (const Case& c : cases) EXPECT_EQ(EqualsIgnoreCase(c.a, c.b), c.equal);
  // Views with no address at all.
  EXPECT_TRUE(EqualsIgnoreCase(std::u16string_view(), u""));
  EXPECT_FALSE(EqualsIgnoreCase(std::u16string_view(), u"a"));
  EXPECT_FALSE(EqualsIgnoreCase(u"a", std::u16string_view()));
  EXPECT_EQ(LowerCase(std::u16string_view()), u"");
  EXPECT_EQ(FindIgnoreCase(std::u16string_view(), u"a"), std::u16string_view::npos);
}

TEST_F(TextCaseTest, FindsWindowsOfThePatternsLength) {
  struct Case {
    std::u16string text;
    std::u16string pattern;
    size_t from;
    size_t position;
  };
  constexpr size_t kNone = std::u16string_view::npos;
  const Case cases[] = {
      {u"abc", u"", 0, 0},
      {u"abc", u"", 3, 3},
      {u"abc", u"", 4, kNone},
      {u"abc", u"C", 0, 2},
      {u"abc", u"C", 3, kNone},
      {u"aXbxc", u"X", 2, 3},
      {u"ab", u"abc", 0, kNone},
      {u"x\u212Ay", u"KY", 0, 1},
      {u"xs\uFB05", u"\u00DFt", 0, 1},  // s + (s t ligature) folds like sharp s + t
      {u"x\u00DFt", u"s\uFB05", 0, 1},
      {u"Stra\u00DFe", u"STRASSE", 0, kNone},  // seven units never match six
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindIgnoreCase(c.text, c.pattern, c.from), c.position);
  }
}

// The ASCII shortcut must agree with ICU on every window, including
// non-ASCII units that fold onto ASCII letters.
TEST_F(TextCaseTest, FindAgreesWithWindowByWindowComparison) {
  const char16_t alphabet[] = {u'a', u'A',   u'k',   u'K',   u's',   u'S',   u'i',   u'I',
                               u't', 0x212A, 0x017F, 0x00DF, 0x0130, 0x0131, 0xFB05, 0xD800};
  for (const char* locale : {"en_US", "tr_TR"}) {
    UseLocale(locale);
    std::mt19937 random(7);
    auto pick = [&](size_t max_length) {
      std::u16string s(std::uniform_int_distribution<size_t>(0, max_length)(random), u'\0');
      for (char16_t& c : s) {
        c = alphabet[std::uniform_int_distribution<size_t>(0, std::size(alphabet) - 1)(random)];
      }
      return s;
    };
    for (int round = 0; round < 2000; ++round) {
      const std::u16string text = pick(12);
      const std::u16string pattern = pick(3);
      size_t expected = std::u16string_view::npos;
      for (size_t p = 0; p + pattern.size() <= text.size(); ++p) {
        if (EqualsIgnoreCase(std::u16string_view(text).substr(p, pattern.size()), pattern)) {
          expected = p;
          break;
        }
      }
      ASSERT_EQ(FindIgnoreCase(text, pattern), expected) << locale << " round " << round;
    }
  }
}

}  // namespace
}  // namespace skyvane
