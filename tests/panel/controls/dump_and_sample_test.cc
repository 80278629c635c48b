// The inspection lines of --dump-controls, and the sample forecast that
// ships with the program against the icons that ship with it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <string>

#include "json/collection.h"
#include "json/dictionary.h"
#include "json/json_reader.h"
#include "panel/controls/control_dump.h"
#include "panel/controls/icon_path.h"
#include "panel/refresh/forecast_refresh.h"
#include "panel/skyvane_form.h"

namespace skyvane {
namespace {

JsonValue Parse(const std::string& line) {
  const QString text = QString::fromStdString(line);
  JsonValue root =
      ReadJson(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
  EXPECT_TRUE(ErrorLog().empty()) << line;
  return root;
}

TEST(ControlDumpTest, WritesEachKindAsOneJsonObjectInAFixedOrder) {
  ControlState form{QStringLiteral("Skyvane"),
                    std::nullopt,
                    QStringLiteral("Form1"),
                    std::nullopt,
                    QRect(5295, 10605, 6735, 795),
                    std::nullopt,
                    false};
  EXPECT_EQ(ControlStateJson(form),
            R"({"control":"Skyvane","index":null,"caption":"Form1","foreColor":null,)"
            R"("left":5295,"top":10605,"width":6735,"height":795})");

  ControlState label{QStringLiteral("Label3"),
                     6,
                     QStringLiteral("12℃-20℃"),
                     kColdColor,
                     QRect(5880, 600, 975, 255),
                     std::nullopt,
                     false};
  EXPECT_EQ(ControlStateJson(label),
            R"({"control":"Label3","index":6,"caption":"12℃-20℃","foreColor":16711680,)"
            R"("left":5880,"top":600,"width":975,"height":255})");

  ControlState empty_image{QStringLiteral("Image1"),
                           0,
                           std::nullopt,
                           std::nullopt,
                           QRect(480, 0, 375, 375),
                           std::nullopt,
                           true};
  EXPECT_EQ(ControlStateJson(empty_image),
            R"({"control":"Image1","index":0,"caption":null,"foreColor":null,)"
            R"("left":480,"top":0,"width":375,"height":375,"picture":null})");
}

TEST(ControlDumpTest, EscapesWhatComesFromTheNetwork) {
  ControlState label{QStringLiteral("Label2"),
                     0,
                     QStringLiteral("a \"quoted\"\nline\\") + QChar(u'\x01'),
                     kBgrBlack,
                     QRect(120, 360, 855, 255),
                     std::nullopt,
                     false};
  const JsonValue root = Parse(ControlStateJson(label));
  ASSERT_TRUE(root.IsDictionary());
  EXPECT_EQ(root.DictionaryOrNull()->Item(u"caption").AsString(), u"a \"quoted\"\nline\\\u0001");

  ControlState image{QStringLiteral("Image1"),
                     2,
                     std::nullopt,
                     std::nullopt,
                     QRect(2400, 0, 480, 480),
                     QStringLiteral("/opt/pan\"el/qing.gif"),
                     true};
  const JsonValue image_root = Parse(ControlStateJson(image));
  ASSERT_TRUE(image_root.IsDictionary());
  EXPECT_EQ(image_root.DictionaryOrNull()->Item(u"picture").AsString(), u"/opt/pan\"el/qing.gif");
}

TEST(SampleForecastTest, FillsAllSevenColumnsWithShippedIcons) {
  QFile file(QStringLiteral(SKYVANE_SOURCE_DIR "/data/sample-forecast.json"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());

  // Every record, not only the seven shown, names an icon that exists.
  const QString icons = IconFolder(QCoreApplication::applicationDirPath());
  const JsonValue root =
      ReadJson(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
  ASSERT_TRUE(ErrorLog().empty());
  const Collection* days = root.DictionaryOrNull()->Item(u"data").CollectionOrNull();
  ASSERT_NE(days, nullptr);
  EXPECT_GE(days->Count(), 10);
  for (const JsonValue& day : *days) {
    const QString name =
        QString::fromStdU16String(day.DictionaryOrNull()->Item(u"wea_img").AsString());
    EXPECT_TRUE(QFileInfo::exists(IconPath(icons, name))) << name.toStdString();
  }

  SkyvaneOptions options;
  options.scale = TwipScale(kNominalTwipsPerPixel);
  Skyvane form(options);
  int column = -1;
  FillColumns(text, QDate(2026, 12, 8), icons, form.Columns(), &column);
  EXPECT_EQ(column, 6);
  std::set<BgrColor> colours;
  for (int c = 0; c < kColumnCount; ++c) {
    EXPECT_NE(form.Label2(c)->Caption(), QStringLiteral("Label2"));
    EXPECT_TRUE(form.Image1(c)->HasPicture());
    colours.insert(form.Label3(c)->ForeColor());
  }
  // The sample shows cold, mild and hot days.
  EXPECT_EQ(colours, (std::set<BgrColor>{kColdColor, kHotColor, kBgrBlack}));
}

}  // namespace
}  // namespace skyvane
