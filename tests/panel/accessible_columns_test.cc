// The form as a screen reader's accessibility tree shows it: seven columns,
// each one element named by the day's phrase, and the status as the form's
// description; a later refresh renames them.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTemporaryDir>

#include "panel/refresh/column_speech.h"
#include "panel/skyvane_form.h"

namespace skyvane {
namespace {

TEST(AccessibleColumnsTest, SevenColumnsReadAsOnePhraseEachAndTheStatusAsDescription) {
  QTemporaryDir dir;
  SkyvaneOptions options;
  options.scale = TwipScale(kNominalTwipsPerPixel);
  options.url = QStringLiteral("file://" SKYVANE_SOURCE_DIR "/data/sample-forecast.json");
  options.position_file = dir.filePath(QStringLiteral("Skyvane.conf"));
  options.today = [] { return QDate(2026, 12, 8); };
  Skyvane form(options);
  QLocale::setDefault(QLocale::c());  // the day names the phrases are checked in
  form.Form_Load();
  QLocale::setDefault(QLocale::system());
  ASSERT_FALSE(form.RefreshStopped().has_value());

  QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(&form);
  ASSERT_NE(panel, nullptr);
  ASSERT_EQ(panel->childCount(), kColumnCount);
  EXPECT_EQ(panel->text(QAccessible::Description), StatusText(form.Status()));
  EXPECT_TRUE(panel->text(QAccessible::Description).contains(QStringLiteral("sample-forecast")));

  const QString first = panel->child(0)->text(QAccessible::Name);
  EXPECT_EQ(first, QStringLiteral("Tuesday 8 December: 晴, high 6 degrees Celsius, low -5 degrees "
                                  "Celsius"));
  for (int c = 0; c < kColumnCount; ++c) {
    QAccessibleInterface* column = panel->child(c);
    SCOPED_TRACE(c);
    EXPECT_EQ(column->role(), QAccessible::ListItem);
    EXPECT_EQ(column->childCount(), 0);
    EXPECT_EQ(panel->indexOfChild(column), c);
    EXPECT_EQ(column->parent(), panel);
    EXPECT_TRUE(column->text(QAccessible::Name)
                    .startsWith(QLocale::c().toString(QDate(2026, 12, 8).addDays(c),
                                                      QStringLiteral("dddd d"))));
    // The column covers its four controls and no other column.
    EXPECT_TRUE(column->rect().contains(form.Label3(c)->mapToGlobal(QPoint(1, 1))));
    if (c > 0) {
      EXPECT_FALSE(column->rect().intersects(panel->child(c - 1)->rect()));
    }
  }
}

TEST(AccessibleColumnsTest, TemperaturesAreSpokenWithTheirUnit) {
  EXPECT_EQ(SpokenTemperature(QStringLiteral("11℃")), QStringLiteral("11 degrees Celsius"));
  EXPECT_EQ(SpokenTemperature(QStringLiteral("-3℉")), QStringLiteral("-3 degrees Fahrenheit"));
  EXPECT_EQ(SpokenTemperature(QStringLiteral("12")), QStringLiteral("12"));
  EXPECT_EQ(ColumnPhrase(QDate(2026, 12, 9), QStringLiteral("Light rain"), QStringLiteral("11℃"),
                         QStringLiteral("4℃"), QLocale(QStringLiteral("en_GB"))),
            QStringLiteral("Wednesday 9 December: Light rain, high 11 degrees Celsius, low 4 "
                           "degrees Celsius"));
}

}  // namespace
}  // namespace skyvane
