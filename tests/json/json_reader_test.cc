#include "json/json_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "json/collection.h"
#include "json/decimal.h"
#include "json/dictionary.h"
#include "json/json_writer.h"
#include "text/run_error.h"
#include "text/utf.h"

namespace skyvane {
namespace {

// The description that `raise` raises, as the log quotes it.
std::u16string DescriptionOf(const std::function<void()>& raise) {
  try {
    raise();
  } catch (const RunError& e) {
    return Utf8ToUtf16(e.what());
  }
  ADD_FAILURE() << "nothing raised";
  return u"";
}

std::u16string NotANumber() {
  return DescriptionOf([] { Decimal::FromText(std::u16string_view()); });
}
std::u16string TooLarge() {
  return DescriptionOf([] { Decimal::FromText(u"79228162514264337593543950336"); });
}
std::u16string DuplicateKey() {
  return DescriptionOf([] {
    auto d = MakeRef<Dictionary>();
    d->Add(u"x", JsonValue());
    d->Add(u"x", JsonValue());
  });
}

std::string ShowRoot(const JsonValue& root) {
  return root.IsEmpty() ? "<none>" : WriteJson(root);
}
std::string Utf8(std::u16string_view log) {
  return Utf16ToUtf8(log);
}

// The one string of a text that holds a list of one string, read without
// complaint; a test failure otherwise.
std::u16string OnlyString(std::u16string_view text) {
  const JsonValue root = ReadJson(text);
  EXPECT_EQ(ErrorLog(), u"");
  const Collection* items = root.CollectionOrNull();
  if (items == nullptr || items->Count() != 1 || !items->Item(1).IsString()) {
    ADD_FAILURE() << "not a list of one string: " << ShowRoot(root);
    return u"";
  }
  return items->Item(1).AsString();
}

struct Case {
  const char16_t* text;
  const char* root;  // WriteJson of the root, or "<none>"
  std::u16string log;
};

void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.text));
    const JsonValue root = ReadJson(c.text);
    EXPECT_EQ(ShowRoot(root), c.root);
    EXPECT_EQ(Utf8(ErrorLog()), Utf8(c.log));
  }
}

TEST(ReadJsonTest, RootAndBlanks) {
  ExpectCases({
      {u"", "<none>", u"Invalid JSON"},
      {u" \t\r\n ", "<none>", u"Invalid JSON"},
      {u"hello", "<none>", u"Invalid JSON"},
      {u"\"text\"", "<none>", u"Invalid JSON"},
      {u"/* note */ [1,2]", "[1,2]", u""},
      {u"// note\n[1,2]", "[1,2]", u""},
      {u"// note\r\n{}", "{}", u""},
      {u"({\"a\":1})", "{\"a\":1}", u""},
      {u"[1]xyz", "[1]", u""},
      {u"  [1] ]", "[1]", u""},
      {u"[]", "[]", u""},
      {u"{ }", "{}", u""},
      // A lone "/" or "*" is a blank; a block comment ends at the first "/"
      // after any "*", and may span lines.
      {u"/ [1]", "[1]", u""},
      {u"* [1]", "[1]", u""},
      // The pending "/" survives blanks, so "/ *" opens a block comment.
      {u"/ * [1]", "<none>", u"Invalid JSON"},
      {u"/* a * b / [1]", "[1]", u""},
      {u"/*\n*/[1]", "[1]", u""},
      {u"/*** x */[1]", "[1]", u""},
      // A second "*" cancels the pending one: "**/" does not close.
      {u"/* x **/[1]", "<none>", u"Invalid JSON"},
      // A "/" inside a line comment ends its skipping.
      {u"// a/b\n[1]", "<none>", u"Invalid JSON"},
      {u"/* [1] */", "<none>", u"Invalid JSON"},
      {u"[1, /* two */ 2 // three\n ]", "[1,2]", u""},
      {u"[(1),(2)]", "[1,2]", u""},
      {u"[1 2 3]", "[1,2,3]", u""},
      {u"[\n1\r\n,\t2\r]", "[1,2]", u""},
  });
}

// Blanks, parentheses and comments before every kind of key and value, in
// objects and arrays: each member is read from where they end. A lone "/"
// or "*" is a blank there too.
TEST(ReadJsonTest, BlanksAndCommentsBeforeEveryKindOfMember) {
  ExpectCases({
      {u"{ /*c*/ \"a\" /*c*/ : /*c*/ \"s\" /*c*/ , \"b\" : ( true ) , \"c\" :\n\tnull // n\n"
       u" , \"d\" : /**/ [ /**/ 1 , ( -2.5 ) , /**/ 'q' , false , { } ] , \"e\" : // x\n"
       u" {\"f\" : /* y */ 7 } }",
       "{\"a\":\"s\",\"b\":true,\"c\":null,\"d\":[1,-2.5,\"q\",false,{}],\"e\":{\"f\":7}}", u""},
      // A key is read up to its colon: a comment inside it is part of it.
      {u"[ /*a*/ \"s\" , ( 'q' ) , /*b*/ true , // c\n null , ( [ ( 1 ) ] ) ,"
       u" /**/ { /**/ k /**/ : /**/ 1 } ]",
       "[\"s\",\"q\",true,null,[1],{\"k/**/\":1}]", u""},
      {u"[ * 1 , / 2 , / x ]", "[1,2]", u"Type mismatch: not a number: x ]\r\n"},
      {u"{ \"a\" : * 1 , \"b\" : / 2 , \"c\": /x }", "{\"a\":1,\"b\":2}",
       u"Type mismatch: not a number: c\r\n"},
  });
}

TEST(ReadJsonTest, Keys) {
  ExpectCases({
      {u"{a:1}", "{\"a\":1}", u""},
      {u"{'a':'x'}", "{\"a\":\"x\"}", u""},
      {u"{\"first name\":1}", "{\"firstname\":1}", u""},
      {u"{a b\tc:1}", "{\"abc\":1}", u""},
      {u"{\"a:b\":1}", "{\"a:b\":1}", u""},
      {u"{\"a_longer_key_name\":1,\"another long key:x\":2,\"short'ish\":3}",
       "{\"a_longer_key_name\":1,\"anotherlongkey:x\":2,\"shortish:3}\":undefined}",
       u"Missing '}': :x\":2,\"short'ish\":3}\r\n"},
      // Each kind of quote flips its own flag: the double quote inside the
      // single quotes leaves the colon inside the key.
      {u"{'a\"b':1}", "{\"ab:1}\":undefined}", u"Missing '}': {'a\"b':1}\r\n"},
      {u"{a\\b:1}", "{\"a\\\\b\":1}", u""},
      {u"{\"a\" /* c */ :1}", "{\"a\":1}", u""},
      {u"{\"a\"\n:1}", "{\"a\":1}", u""},
      {u"{\"\":1}", "{\"\":1}", u""},
      {u"{\"A\":1,\"a\":2}", "{\"A\":1,\"a\":2}", u""},
      {u"{\"z\":1,\"a\":2,\"m\":3}", "{\"z\":1,\"a\":2,\"m\":3}", u""},
      {u"{\"a\" 1}", "{\"a\":1}", u"Invalid Key at position 6 : a\r\n"},
      // The apostrophe inside the double quotes opens a single-quoted run,
      // so the colon belongs to the key and the key runs to the end.
      {u"{\"it's\":1}", "{\"its:1}\":undefined}", u"Missing '}': {\"it's\":1}\r\n"},
      // A closing quote at the end of the text: the key is kept.
      {u"{\"a\"", "{\"a\":undefined}", u"Invalid Key at position 5 : a\r\nMissing '}': {\"a\"\r\n"},
      {u"{\"a\" x:1}", "{}", u"Invalid Key at position 6 : a\r\n" + NotANumber() + u": a\r\n"},
      // Commas are optional; a second comma starts the next key.
      {u"{\"a\":1 \"b\":2}", "{\"a\":1,\"b\":2}", u""},
      {u"{\"a\":1,,\"b\":2}", "{\"a\":1,\",b\":2}", u""},
      {u"{\"a\":1,}", "{\"a\":1,\"}\":undefined}", u"Missing '}': {\"a\":1,}\r\n"},
      {u"{,", "{\"\":undefined}", u"Missing '}': {,\r\n"},
  });
}

TEST(ReadJsonTest, ContainersNotClosed) {
  ExpectCases({
      {u"[1,2", "[1,undefined]", u"Missing ']': [1,2\r\n"},
      {u"[1,", "[1,undefined]", u"Missing ']': [1,\r\n"},
      {u"[", "[]", u"Missing ']': [\r\n"},
      {u"{", "{}", u"Missing '}': {\r\n"},
      {u"{\"a\":[1,2", "{\"a\":[1,undefined]}",
       u"Missing ']': {\"a\":[1,2\r\nMissing '}': {\"a\":[1,2\r\n"},
      {u"{\"a\":", "{\"a\":undefined}", u"Missing '}': {\"a\":\r\n"},
      // Only the last 20 code units are quoted.
      {u"[\"0123456789abcdefghij\", 1", "[\"0123456789abcdefghij\",undefined]",
       u"Missing ']': 456789abcdefghij\", 1\r\n"},
  });
}

TEST(ReadJsonTest, MemberFailuresTravelOutward) {
  const std::u16string nan = NotANumber();
  const std::u16string dup = DuplicateKey();
  ExpectCases({
      {u"{\"x\":1,\"x\":2}", "{\"x\":1}", dup + u": x\r\n"},
      {u"{\"a\":{\"b\":1,\"b\":2},\"c\":3}", "{\"a\":{\"b\":1}}",
       dup + u": b\r\n" + dup + u": a\r\n"},
      {u"[1,]", "[1]", nan + u": ]\r\n"},
      {u"[1,2,]  // end", "[1,2]", nan + u": ]  // end\r\n"},
      {u"[1-2]", "[]", nan + u": ]\r\n"},
      {u"[.]", "[]", nan + u": ]\r\n"},
      {u"[12abc]", "[12]", nan + u": abc]\r\n"},
      {u"[True]", "[]", nan + u": True]\r\n"},
      {u"[TRUE]", "[]", nan + u": TRUE]\r\n"},
      {u"[NULL]", "[]", nan + u": NULL]\r\n"},
      {u"{\"a\":x}", "{}", nan + u": a\r\n"},
      {u"[79228162514264337593543950336]", "[]", TooLarge() + u": ]\r\n"},
      // The position is shared: every array quotes from where the item
      // stopped.
      {u"[[[1,]]]", "[[[1]]]", nan + u": ]]]\r\n" + nan + u": ]]]\r\n" + nan + u": ]]]\r\n"},
      {u"{\"a\":[{\"b\":x}],\"c\":1}", "{\"a\":[{}]}",
       nan + u": b\r\n" + nan + u": x}],\"c\":1}\r\n" + nan + u": a\r\n"},
      // Everything read before the failure stays.
      {u"{\"a\":1,\"b\":[2,3,?],\"c\":4}", "{\"a\":1,\"b\":[2,3]}",
       nan + u": ?],\"c\":4}\r\n" + nan + u": b\r\n"},
      // A duplicate key of a container: the container's own failures come
      // first, then the duplicate.
      {u"{\"a\":1,\"a\":{\"b\":1,\"b\":2}}", "{\"a\":1}", dup + u": b\r\n" + dup + u": a\r\n"},
  });
}

// Containers at one depth are gathered in the same place one after the
// other; whatever their sizes (growing, shrinking, crossing the size where a
// Dictionary starts indexing), each must come out whole and alone.
TEST(ReadJsonTest, SiblingContainersOfEverySizeReadWhole) {
  std::u16string text = u"[";
  const int member_counts[] = {3, 12, 1, 0, 9, 40, 8, 12, 12, 2, 0, 33};
  int n = 0;
  for (int count : member_counts) {
    if (n++ > 0) text += u",";
    text += u"{";
    for (int m = 0; m < count; ++m) {
      if (m > 0) text += u",";
      const std::u16string index = Utf8ToUtf16(std::to_string(m));
      text += u"\"key" + index + u"\":";
      if (m % 3 == 0) {
        text += u"[";
        for (int i = 0; i < (m + count) % 5; ++i) text += (i > 0 ? u"," : u"") + index;
        text += u"]";
      } else {
        text += index;
      }
    }
    text += u"}";
  }
  text += u"]";
  const JsonValue root = ReadJson(text);
  EXPECT_EQ(Utf8(ErrorLog()), "");
  EXPECT_EQ(ShowRoot(root), Utf8(text));
  // A duplicate in a large object is still caught where it stands.
  std::u16string big = u"{\"a\":{";
  for (int m = 0; m < 12; ++m) big += u"\"k" + Utf8ToUtf16(std::to_string(m)) + u"\":1,";
  const JsonValue partial = ReadJson(big + u"\"k3\":2},\"b\":1}");
  EXPECT_EQ(Utf8(ErrorLog()), Utf8(DuplicateKey() + u": k3\r\n" + DuplicateKey() + u": a\r\n"));
  big.pop_back();
  EXPECT_EQ(ShowRoot(partial), Utf8(big + u"}}"));
}

TEST(ReadJsonTest, Strings) {
  ExpectCases({
      {u"[\"a\\\"b\"]", "[\"a\\\"b\"]", u""},
      {u"['it\\'s']", "[\"it's\"]", u""},
      {u"['say \"hi\"']", "[\"say \\\"hi\\\"\"]", u""},
      {u"[\"say 'hi'\"]", "[\"say 'hi'\"]", u""},
      {u"[\"A\\u00e9B\"]",
       "[\"A\xC3\xA9"
       "B\"]",
       u""},
      {u"[\"\\u00C9\"]", "[\"\xC3\x89\"]", u""},
      {u"[\"\\u0041BC\"]", "[\"ABC\"]", u""},
      {u"[\"\\x41\"]", "[\"x41\"]", u""},
      {u"[\"\\q\"]", "[\"q\"]", u""},
      {u"[\"\\U0041\"]", "[\"U0041\"]", u""},
      {u"[\"tab\\there\"]", "[\"tab\\there\"]", u""},
      {u"[\"\\/\\\\\\b\\f\\n\\r\"]", "[\"/\\\\\\b\\f\\n\\r\"]", u""},
      {u"['\\\"']", "[\"\\\"\"]", u""},
      // "\u" takes the leading hexadecimal digits of the next four code
      // units and always steps over all four.
      {u"[\"\\u12\"xy\"]", "[\"\\u0012y\"]", u""},
      {u"[\"\\u12\"]", "[\"\\u0012\"]", u"Missing ']': [\"\\u12\"]\r\n"},
      {u"[\"\\uzzzzA\"]", "[\"\\u0000A\"]", u""},
      {u"[\"\\u4", "[\"\\u0004\"]", u"Missing ']': [\"\\u4\r\n"},
      {u"[\"ab\\", "[\"ab\"]", u"Missing ']': [\"ab\\\r\n"},
      {u"[\"abc", "[\"abc\"]", u"Missing ']': [\"abc\r\n"},
      {u"[\"ab\\nc", "[\"ab\\nc\"]", u"Missing ']': [\"ab\\nc\r\n"},
      {u"[\"\"]", "[\"\"]", u""},
      {u"['']", "[\"\"]", u""},
      {u"[ \"a\" \"b\" ]", "[\"a\",\"b\"]", u""},
      {u"[\"(a) /*b*/\"]", "[\"(a) /*b*/\"]", u""},
  });
}

// Every hexadecimal digit, in both cases, in each of the four places of a
// "\u" escape.
TEST(ReadJsonTest, UnicodeEscapesReadEveryHexDigit) {
  const std::u16string digits = u"0123456789abcdefABCDEF";
  constexpr int kEscapeDigits = 4;
  constexpr int kBitsPerDigit = 4;
  for (std::size_t d = 0; d < digits.size(); ++d) {
    const char16_t digit = digits[d];
    const unsigned value = d < 16 ? static_cast<unsigned>(d) : static_cast<unsigned>(d - 6);
    for (int place = 0; place < kEscapeDigits; ++place) {
      std::u16string escape = u"0000";
      escape[static_cast<std::size_t>(place)] = digit;
      const std::u16string text = u"[\"\\u" + escape + u"\"]";
      SCOPED_TRACE(Utf8(text));
      const char16_t expected =
          static_cast<char16_t>(value << (kBitsPerDigit * (kEscapeDigits - 1 - place)));
      EXPECT_EQ(OnlyString(text), std::u16string(1, expected));
    }
  }
  const struct {
    const char16_t* text;
    char16_t value;
  } whole[] = {
      {u"[\"\\u00ff\"]", u'\u00ff'}, {u"[\"\\u00FF\"]", u'\u00ff'}, {u"[\"\\uFFFF\"]", u'\uffff'},
      {u"[\"\\uffff\"]", u'\uffff'}, {u"[\"\\ufeff\"]", u'\ufeff'}, {u"[\"\\uFeFf\"]", u'\ufeff'},
      {u"[\"\\uABCD\"]", u'\uabcd'}, {u"[\"\\uabcd\"]", u'\uabcd'}, {u"[\"\\u9f9F\"]", u'\u9f9f'},
      {u"[\"\\u0aF0\"]", u'\u0af0'},
  };
  for (const auto& c : whole) {
    SCOPED_TRACE(Utf8(c.text));
    EXPECT_EQ(OnlyString(c.text), std::u16string(1, c.value));
  }
}

TEST(ReadJsonTest, StringCodeUnits) {
  struct StringCase {
    std::u16string text;
    std::u16string value;
  };
  const std::vector<StringCase> cases = {
      {u"[\"\\uD83D\\uDE00\"]", u"\xD83D\xDE00"},
      {u"[\"\\uDE00\\uD83D\"]", u"\xDE00\xD83D"},
      {u"[\"\\u0000\"]", std::u16string(1, u'\0')},
      {std::u16string(u"[\"a\0b\"]", 7), std::u16string(u"a\0b", 3)},
      {u"[\"\xD83D\"]", u"\xD83D"},
      {u"[\"x\\u0000y\\n\"]", std::u16string(u"x\0y\n", 4)},
      // Long runs around escapes come through whole.
      {u"[\"" + std::u16string(30000, u'a') + u"\\n" + std::u16string(30000, u'b') + u"\"]",
       std::u16string(30000, u'a') + u"\n" + std::u16string(30000, u'b')},
  };
  for (const StringCase& c : cases) {
    SCOPED_TRACE(Utf8(c.text));
    EXPECT_EQ(OnlyString(c.text), c.value);
  }
}

TEST(ReadJsonTest, NumbersAndLiterals) {
  ExpectCases({
      {u"[1.5,-0.25e2,+7]", "[1.5,-25,7]", u""},
      {u"[0,-0,1e2,1E+2,250e-2]", "[0,0,100,100,2.5]", u""},
      {u"[12", "[undefined]", u"Missing ']': [12\r\n"},
      {u"{\"a\":1", "{\"a\":undefined}", u"Missing '}': {\"a\":1\r\n"},
      {u"[true,false,null]", "[true,false,null]", u""},
      {u"[true false null]", "[true,false,null]", u""},
      {u"{\"a\":nul}", "{\"a\":undefined,\"nul}\":undefined}",
       u"Invalid null value at position 6 : nul}\r\nMissing '}': {\"a\":nul}\r\n"},
      {u"{\"a\":tru}", "{\"a\":false,\"tru}\":undefined}",
       u"Invalid Boolean at position 6 : tru}\r\nMissing '}': {\"a\":tru}\r\n"},
      {u"{\"a\":fals,\"b\":1}", "{\"a\":false,\"fals,b\":1}",
       u"Invalid Boolean at position 6 : fals,\"b\":1}\r\n"},
      // The literal readers do not look past the literal.
      {u"[truex]", "[true]", NotANumber() + u": x]\r\n"},
      {u"[nullnull]", "[null,null]", u""},
  });
}

// A literal that is the very last thing in the text is still read whole;
// only the container around it is left open.
TEST(ReadJsonTest, LiteralsAtTheVeryEndOfTheText) {
  ExpectCases({
      {u"[true", "[true]", u"Missing ']': [true\r\n"},
      {u"[false", "[false]", u"Missing ']': [false\r\n"},
      {u"[null", "[null]", u"Missing ']': [null\r\n"},
      {u"[1, null", "[1,null]", u"Missing ']': [1, null\r\n"},
      {u"[1 true", "[1,true]", u"Missing ']': [1 true\r\n"},
      {u"{\"a\":null", "{\"a\":null}", u"Missing '}': {\"a\":null\r\n"},
      {u"{\"a\":true", "{\"a\":true}", u"Missing '}': {\"a\":true\r\n"},
      {u"{\"a\":false", "{\"a\":false}", u"Missing '}': {\"a\":false\r\n"},
      {u"{\"a\":[false", "{\"a\":[false]}",
       u"Missing ']': {\"a\":[false\r\nMissing '}': {\"a\":[false\r\n"},
  });
  for (const char16_t* text : {u"[true", u"{\"a\":null", u"[1, false"}) {
    SCOPED_TRACE(Utf8(text));
    ReadJson(text);
    EXPECT_TRUE(EndedInsideContainer());
  }
}

TEST(ReadJsonTest, NumberValuesAreExact) {
  const JsonValue root = ReadJson(u"[0.1, 1.50, -3]");
  ASSERT_TRUE(root.IsCollection());
  const Collection& items = *root.AsCollection();
  ASSERT_EQ(items.Count(), 3);
  EXPECT_EQ(items.Item(1).KindCode(), 14);
  EXPECT_EQ(items.Item(1).AsDecimal().MagnitudeLow(), 1u);
  EXPECT_EQ(items.Item(1).AsDecimal().Scale(), 1);
  EXPECT_EQ(items.Item(2).AsDecimal(), Decimal::FromText(u"1.5"));
  EXPECT_TRUE(items.Item(3).AsDecimal().IsNegative());
}

TEST(ReadJsonTest, KindsOfValues) {
  const JsonValue root = ReadJson(u"{\"s\":\"x\",\"n\":null,\"b\":true,\"d\":2,\"o\":{},\"a\":[]}");
  ASSERT_TRUE(root.IsDictionary());
  const Dictionary& object = *root.AsDictionary();
  EXPECT_EQ(object.Item(u"s").KindCode(), 8);
  EXPECT_EQ(object.Item(u"n").KindCode(), 1);
  EXPECT_EQ(object.Item(u"b").KindCode(), 11);
  EXPECT_EQ(object.Item(u"d").KindCode(), 14);
  EXPECT_EQ(object.Item(u"o").KindCode(), 9);
  EXPECT_EQ(object.Item(u"o").TypeName(), u"Dictionary");
  EXPECT_EQ(object.Item(u"a").TypeName(), u"Collection");
  EXPECT_EQ(root.TypeName(), u"Dictionary");
}

// A misspelt literal reads nothing; an array must not read it forever.
TEST(ReadJsonTest, ArrayItemThatReadsNothingStopsTheArray) {
  const std::u16string stop(kNoProgressDescription);
  ExpectCases({
      {u"[tru]", "[false]", u"Invalid Boolean at position 2 : tru]\r\n" + stop + u": tru]\r\n"},
      {u"[1, nul, 2]", "[1,undefined]",
       u"Invalid null value at position 5 : nul, 2]\r\n" + stop + u": nul, 2]\r\n"},
      {u"[tru", "[false]", u"Invalid Boolean at position 2 : tru\r\n" + stop + u": tru\r\n"},
      {u"{\"a\":[tru],\"b\":1}", "{\"a\":[false]}",
       u"Invalid Boolean at position 7 : tru],\"b\":1}\r\n" + stop + u": tru],\"b\":1}\r\n" + stop +
           u": a\r\n"},
  });
}

TEST(ReadJsonTest, LogIsEmptiedByEveryParse) {
  ReadJson(u"hello");
  EXPECT_EQ(ErrorLog(), u"Invalid JSON");
  ReadJson(u"[1,");
  EXPECT_EQ(ErrorLog(), u"Missing ']': [1,\r\n");
  EXPECT_EQ(ErrorLog(), u"Missing ']': [1,\r\n");  // reading does not change it
  ReadJson(u"[1]");
  EXPECT_EQ(ErrorLog(), u"");
}

TEST(ReadJsonTest, TextIsReadInPlace) {
  const std::u16string text = u"{\"k\":\"value with no escape\",\"e\":\"a\\nb\"}";
  const std::u16string copy = text;
  const JsonValue root = ReadJson(std::u16string_view(text).substr(0, text.size()));
  EXPECT_EQ(text, copy);
  EXPECT_EQ(ShowRoot(root), "{\"k\":\"value with no escape\",\"e\":\"a\\nb\"}");
  // A view into a larger buffer: nothing past its end is read.
  const std::u16string buffer = u"[1,2]3]";
  EXPECT_EQ(ShowRoot(ReadJson(std::u16string_view(buffer).substr(0, 4))), "[1,undefined]");
  EXPECT_EQ(ErrorLog(), u"Missing ']': [1,2\r\n");
}

// From bytes, the tree and the log are those of the decoded text, whatever
// the text read before on the same thread left in the reused buffer.
TEST(ReadJsonTest, Utf8BytesReadAsTheirDecodedText) {
  const std::string long_one = "[\"" + std::string(5000, 'x') + "\"]";
  const std::string cases[] = {
      long_one,
      "\xEF\xBB\xBF{\"\xE4\xB8\xAD\":1}",  // byte-order mark, CJK key
      "[\"a\xFF\xED\xA0\x80"
      "b\"]",  // invalid bytes, an encoded surrogate
      "[1,",   // cut short: its log names the decoded text
      "",
      long_one + " trailing",
  };
  for (const std::string& bytes : cases) {
    const std::string expected_root = ShowRoot(ReadJson(Utf8ToUtf16(StripByteOrderMark(bytes))));
    const std::u16string expected_log = ErrorLog();
    const bool expected_inside = EndedInsideContainer();
    EXPECT_EQ(ShowRoot(ReadJsonUtf8(bytes)), expected_root) << bytes.substr(0, 40);
    EXPECT_EQ(ErrorLog(), expected_log) << bytes.substr(0, 40);
    EXPECT_EQ(EndedInsideContainer(), expected_inside) << bytes.substr(0, 40);
  }
}

// Whether the text ran out inside an open container, whatever the log says.
TEST(ReadJsonTest, TellsWhetherTheTextEndedInsideAContainer) {
  const struct {
    const char16_t* text;
    bool ended_inside;
  } cases[] = {
      {u"[1,2]", false},
      {u"{\"a\":[1,2]}", false},
      {u"[1]xyz", false},
      {u"{\"a\":1} {", false},  // nothing after the root is read
      {u"", false},
      {u"hello", false},
      {u"[1,2", true},
      {u"[", true},
      {u"{\"a\":[1,2]", true},
      {u"{\"a\":[1,2", true},
      {u"{\"a\":\"1", true},
      {u"{\"a\":\"}", true},
      {u"[\"\\u4", true},
      {u"{\"a\":true", true},
      {u"{\"a", true},
      // A member failure right at the end: the text still ran out.
      {u"{\"x\":1,\"x", true},
      // A member failure before the end stopped the reading, not the end.
      {u"{\"x\":1,\"x\":2,\"y\":3", false},
      {u"[1,]", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf8(c.text));
    ReadJson(c.text);
    EXPECT_EQ(EndedInsideContainer(), c.ended_inside);
  }
}

std::u16string Repeat(std::u16string_view piece, int count) {
  std::u16string out;
  out.reserve(piece.size() * count);
  for (int i = 0; i < count; ++i) out += piece;
  return out;
}

std::u16string LogOfRepeatedLine(const std::u16string& line, int count) {
  return Repeat(line + u"\r\n", count);
}

TEST(ReadJsonNestingTest, UpToTheLimitIsRead) {
  const std::u16string text = Repeat(u"[", kMaxNesting) + Repeat(u"]", kMaxNesting);
  const JsonValue root = ReadJson(text);
  EXPECT_EQ(ErrorLog(), u"");
  int depth = 0;
  for (const Collection* c = root.CollectionOrNull(); c != nullptr;
       c = c->Count() > 0 ? c->Item(1).CollectionOrNull() : nullptr) {
    ++depth;
  }
  EXPECT_EQ(depth, kMaxNesting);
}

TEST(ReadJsonNestingTest, OneDeeperIsAMemberFailureOfEveryContainer) {
  const std::u16string text = Repeat(u"[", kMaxNesting + 1) + Repeat(u"]", kMaxNesting + 1);
  const JsonValue root = ReadJson(text);
  ASSERT_TRUE(root.IsCollection());
  const std::u16string excerpt = std::u16string(u"[").append(Repeat(u"]", 19));
  EXPECT_EQ(ErrorLog(),
            LogOfRepeatedLine(u"Nesting deeper than 1000 containers: " + excerpt, kMaxNesting));
}

TEST(ReadJsonNestingTest, ObjectsNestTheSameWay) {
  const std::u16string text = Repeat(u"{a:", kMaxNesting) + u"{}";
  const JsonValue root = ReadJson(text);
  ASSERT_TRUE(root.IsDictionary());
  EXPECT_EQ(ErrorLog(), LogOfRepeatedLine(u"Nesting deeper than 1000 containers: a", kMaxNesting));
}

TEST(ReadJsonNestingTest, AMillionOpeningBracketsReturnPromptly) {
  const std::u16string text(1000000, u'[');
  const auto start = std::chrono::steady_clock::now();
  const JsonValue root = ReadJson(text);
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_TRUE(root.IsCollection());
  EXPECT_EQ(
      ErrorLog(),
      LogOfRepeatedLine(u"Nesting deeper than 1000 containers: " + Repeat(u"[", 20), kMaxNesting));
  // Generous even under the sanitizers; a quadratic log or a runaway
  // recursion takes far longer (or never returns).
  EXPECT_LT(seconds, 10.0);
}

TEST(ReadJsonLimitsTest, TextLongerThanPositionsCanCountIsRefused) {
  // Never read: the length alone is refused.
  const char16_t one = u'[';
  const std::u16string_view huge(&one, kMaxTextLength + 1);
  EXPECT_TRUE(ReadJson(huge).IsEmpty());
  EXPECT_EQ(ErrorLog(),
            u"Text too long: 2147483648 code units, at most 2147483647 can be read\r\n");
}

TEST(ReadJsonLimitsTest, LogStopsGrowingAtItsLimit) {
  // Each misspelt literal quotes the rest of the text; the keys come out as
  // k0, tk1, tk2 ... so they never collide, and the last one is t}.
  std::u16string text = u"{";
  const int entries = 3000;
  for (int i = 0; i < entries; ++i)
    text.append(u"k").append(Widen(std::to_string(i))).append(u":t ");
  text += u"}";
  const JsonValue root = ReadJson(text);
  ASSERT_TRUE(root.IsDictionary());
  EXPECT_EQ(root.AsDictionary()->Count(), entries + 1);
  const std::u16string& log = ErrorLog();
  EXPECT_EQ(log.rfind(kLogFullLine), log.size() - kLogFullLine.size());
  EXPECT_LE(log.size(), kMaxLogLength + text.size() + 64);
  EXPECT_EQ(log.find(u"Invalid Boolean at position 5 : t k1:t "), 0u);
  // The last key swallows the closing bracket, so the text ends inside the
  // object; that is told although the log dropped its line.
  EXPECT_TRUE(EndedInsideContainer());
  // The next parse starts afresh.
  ReadJson(u"{\"a\":tru}");
  EXPECT_EQ(ErrorLog(), u"Invalid Boolean at position 6 : tru}\r\nMissing '}': {\"a\":tru}\r\n");
}

}  // namespace
}  // namespace skyvane
