// Reading and editing the text of a settings file: which lines count as a
// key of the section, how values are written and read back, and that an
// edit leaves every other line as it was.
#include "panel/settings/settings_text.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace skyvane {
namespace {

constexpr QByteArrayView kSet = "set";

TEST(SettingsTextTest, FindsTheLastSettingOfTheKeyInTheSection) {
  const struct {
    const char* text;
    std::optional<QString> value;
  } cases[] = {
      {"[set]\nformX=1\n", QStringLiteral("1")},
      {"[set]\r\nformX = 1 \r\n", QStringLiteral("1")},
      {"[set]\nformX=1", QStringLiteral("1")},
      {"\xEF\xBB\xBF[set]\nformX=1\n", QStringLiteral("1")},
      {"[ set ]\nformX=1\n", QStringLiteral("1")},
      {"[set]\nformX=\n", QString()},
      {"[set]\nformX=1\nformX=2\n", QStringLiteral("2")},
      {"[set]\nformX=1\n[other]\nformX=3\n[set]\nformX=2\n", QStringLiteral("2")},
      {"[set]\nformX=1\n[other]\nformX=3\n", QStringLiteral("1")},
      {"[set]\nformX=a=b\n", QStringLiteral("a=b")},
      // Not the key of the section.
      {"formX=1\n", std::nullopt},
      {"[other]\nformX=1\n", std::nullopt},
      {"[set]\nformx=1\n", std::nullopt},
      {"[Set]\nformX=1\n", std::nullopt},
      {"[set]\n; formX=1\n", std::nullopt},
      {"[set]\n# formX=1\n", std::nullopt},
      {"[set]\nformX\n", std::nullopt},
      {"[set]\nformXY=1\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FindSetting(c.text, kSet, "formX"), c.value);
  }
}

TEST(SettingsTextTest, DecodesQuotesEscapesAndComments) {
  const struct {
    const char* raw;
    QString value;
  } cases[] = {
      {"22095", QStringLiteral("22095")},
      {"  22095  ", QStringLiteral("22095")},
      {"a b", QStringLiteral("a b")},
      {"a ; note", QStringLiteral("a")},
      {"\"a ; b\" ; note", QStringLiteral("a ; b")},
      {"\"  padded  \"", QStringLiteral("  padded  ")},
      {"\"say \\\"hi\\\"\"", QStringLiteral("say \"hi\"")},
      {"back\\\\slash", QStringLiteral("back\\slash")},
      {"\"line\\nbreak\\r\\t\"", QStringLiteral("line\nbreak\r\t")},
      {"\\x41\\x0042C", QStringLiteral("ABC")},
      {"\\x42C", QStringLiteral("\u042c")},
      {"\\x0041F", QStringLiteral("AF")},
      {"\\xz", QStringLiteral("xz")},
      {"\\q", QStringLiteral("q")},
      {"ends\\", QStringLiteral("ends\\")},
      {"S\xC3\xA3o Paulo", QStringLiteral("S\u00e3o Paulo")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    EXPECT_EQ(DecodeSettingValue(c.raw), c.value);
  }
}

TEST(SettingsTextTest, EveryValueReadsBackExactly) {
  const QString values[] = {
      QString(),
      QStringLiteral("22095"),
      QStringLiteral("-300.5"),
      QStringLiteral("S\u00e3o Paulo, Brazil"),
      QStringLiteral(" leading"),
      QStringLiteral("trailing\t"),
      QStringLiteral("a;b#c=d,e"),
      QStringLiteral("quote\" and back\\slash"),
      QStringLiteral("two\nlines\r\n"),
      QStringLiteral("\x1b[31mred\x07"),
      QString(QChar(0)) + QStringLiteral("F"),
      QStringLiteral("\x7f") + QStringLiteral("1"),
      QStringLiteral("\\x41 is not an escape here"),
      QStringLiteral("\"quoted\""),
      QString(QChar(0xD800)) + QStringLiteral("A"),
      QString(QChar(0xDC00)),
      QStringLiteral("\U0001F600"),
      QString(QChar(0xFEFF)) + QStringLiteral("Oslo"),  // a byte order mark
  };
  for (const QString& value : values) {
    SCOPED_TRACE(value.toStdString());
    const QByteArray encoded = EncodeSettingValue(value);
    EXPECT_FALSE(encoded.contains('\n') || encoded.contains('\r')) << encoded.toStdString();
    EXPECT_EQ(DecodeSettingValue(encoded), value) << encoded.toStdString();
    // Read back through a whole line as well.
    EXPECT_EQ(FindSetting("[set]\nk=" + encoded + "\n", kSet, "k"), value);
  }
  // What needs nothing is written as it stands.
  EXPECT_EQ(EncodeSettingValue(QStringLiteral("22095")), "22095");
  EXPECT_EQ(EncodeSettingValue(QStringLiteral("S\u00e3o Paulo")), "S\xC3\xA3o Paulo");
}

SettingChange Set(const char* key, const char* value) {
  return SettingChange{key, QString::fromUtf8(value)};
}
SettingChange Drop(const char* key) {
  return SettingChange{key, std::nullopt};
}

TEST(SettingsTextTest, EditsOnlyTheLinesOfTheKeys) {
  const struct {
    const char* name;
    const char* before;
    QList<SettingChange> changes;
    const char* after;
  } cases[] = {
      {"empty file", "", {Set("formX", "1"), Set("formY", "2")}, "[set]\nformX=1\nformY=2\n"},
      {"replaced in place",
       "[set]\nformX=1\nformY=2\n",
       {Set("formX", "5")},
       "[set]\nformX=5\nformY=2\n"},
      {"foreign lines kept",
       "; written by hand\n[other]\nkey=value\nnot a setting\n[set]\nformX=1\n"
       "what is this\nformY=2\n# end\n",
       {Set("formX", "5"), Set("formY", "6")},
       "; written by hand\n[other]\nkey=value\nnot a setting\n[set]\nformX=5\n"
       "what is this\nformY=6\n# end\n"},
      {"added after the section's last setting",
       "[set]\nformX=1\n\n[other]\na=1\n",
       {Set("formY", "2")},
       "[set]\nformX=1\nformY=2\n\n[other]\na=1\n"},
      {"added below a header with no settings",
       "[set]\n; nothing yet\n[other]\n",
       {Set("formX", "1")},
       "[set]\nformX=1\n; nothing yet\n[other]\n"},
      {"section added at the end",
       "[other]\na=1",
       {Set("formX", "1")},
       "[other]\na=1\n\n[set]\nformX=1\n"},
      {"CR LF kept and used",
       "[set]\r\nformX=1\r\n",
       {Set("formY", "2")},
       "[set]\r\nformX=1\r\nformY=2\r\n"},
      {"last line without end", "[set]\nformX=1", {Set("formY", "2")}, "[set]\nformX=1\nformY=2\n"},
      {"duplicates folded into the last",
       "[set]\nformX=1\nlocation=x\nformX=2\n",
       {Set("formX", "3")},
       "[set]\nlocation=x\nformX=3\n"},
      {"the section's last appearance gets new keys",
       "[set]\nformX=1\n[o]\nb=1\n[set]\nc=2\n",
       {Set("formY", "2")},
       "[set]\nformX=1\n[o]\nb=1\n[set]\nc=2\nformY=2\n"},
      {"a key before any section is not ours",
       "formX=9\n",
       {Set("formX", "1")},
       "formX=9\n\n[set]\nformX=1\n"},
      {"removed, the rest kept",
       "[set]\nformX=1\nlocation=x\nformY=2\n",
       {Drop("formX"), Drop("formY")},
       "[set]\nlocation=x\n"},
      {"removing what is absent", "[set]\nlocation=x\n", {Drop("formX")}, "[set]\nlocation=x\n"},
      {"bytes that are not UTF-8 kept",
       "\xFF\xFE junk\n[set]\nformX=1\n",
       {Set("formX", "2")},
       "\xFF\xFE junk\n[set]\nformX=2\n"},
      {"byte-order mark kept",
       "\xEF\xBB\xBF[set]\nformX=1\n",
       {Set("formX", "2")},
       "\xEF\xBB\xBF[set]\nformX=2\n"},
      {"value quoted when it must be",
       "",
       {Set("location", "Paris; France")},
       "[set]\nlocation=\"Paris; France\"\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ApplySettingChanges(c.before, kSet, c.changes).toStdString(), c.after);
  }
}

}  // namespace
}  // namespace skyvane
