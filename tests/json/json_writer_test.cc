#include "json/json_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "json/collection.h"
#include "json/decimal.h"
#include "json/dictionary.h"

namespace skyvane {
namespace {

TEST(JsonWriterTest, Scalars) {
  EXPECT_EQ(WriteJson(JsonValue()), "undefined");
  EXPECT_EQ(WriteJson(JsonValue::Null()), "null");
  EXPECT_EQ(WriteJson(JsonValue(true)), "true");
  EXPECT_EQ(WriteJson(JsonValue(false)), "false");
  EXPECT_EQ(WriteJson(JsonValue(u"")), "\"\"");
  EXPECT_EQ(WriteJson(JsonValue(Decimal::FromText(u"-0.25"))), "-0.25");
  EXPECT_EQ(WriteJson(JsonValue(Decimal::FromText(u"1.50"))), "1.5");
  EXPECT_EQ(WriteJson(JsonValue(Decimal::FromText(u"1e3"))), "1000");
  EXPECT_EQ(WriteJson(JsonValue(Decimal::FromText(u"-0"))), "0");
}

TEST(JsonWriterTest, StringEscapes) {
  struct Case {
    std::u16string text;
    std::string json;
  };
  const std::vector<Case> cases = {
      {u"plain text", "\"plain text\""},
      {u"\"\\/", "\"\\\"\\\\/\""},
      {u"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
      {std::u16string(1, u'\0'), "\"\\u0000\""},
      {u"\x01\x1f\x7f", "\"\\u0001\\u001f\x7f\""},
      {u"\x1b[0m", "\"\\u001b[0m\""},
      {u"\u00e9\u20ac", "\"\xC3\xA9\xE2\x82\xAC\""},
      {u"\U0001F600", "\"\xF0\x9F\x98\x80\""},
      {u"\uFFFF", "\"\xEF\xBF\xBF\""},
      // Unpaired surrogates cannot be UTF-8: they are escaped, lower case.
      {u"\xD83D", "\"\\ud83d\""},
      {u"a\xDE00", "\"a\\ude00\""},
      {u"\xD83Dx", "\"\\ud83dx\""},
      {u"\xDE00\xD83D", "\"\\ude00\\ud83d\""},
      {u"\xD83D\xD83D\xDE00", "\"\\ud83d\xF0\x9F\x98\x80\""},
      {u"'", "\"'\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(WriteJson(JsonValue(c.text)), c.json);
  }
}

TEST(JsonWriterTest, ContainersKeepOrderAndEscapeKeys) {
  auto inner = MakeRef<Collection>();
  inner->Add(JsonValue(Decimal::FromText(u"1")));
  inner->Add(JsonValue());
  inner->Add(JsonValue(MakeRef<Dictionary>()));
  inner->Add(JsonValue(MakeRef<Collection>()));
  auto object = MakeRef<Dictionary>();
  object->Add(u"z", JsonValue(inner));
  object->Add(u"a\"b\n", JsonValue::Null());
  object->Add(u"", JsonValue(u"x"));
  EXPECT_EQ(WriteJson(JsonValue(object)),
            "{\"z\":[1,undefined,{},[]],\"a\\\"b\\n\":null,\"\":\"x\"}");
}

TEST(JsonWriterTest, AppendsToWhatIsThere) {
  std::string out = "root: ";
  AppendJson(JsonValue(true), out);
  AppendJsonString(u"k", out);
  EXPECT_EQ(out, "root: true\"k\"");
}

}  // namespace
}  // namespace skyvane
