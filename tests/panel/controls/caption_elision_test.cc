// Captions that do not fit their label: shown cut with an ellipsis, whole in
// the label's tooltip (ahead of the panel's status) and in the control dump,
// and the tooltip shown over the panel although the panel is never the
// active window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QFontMetrics>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <string>

#include "panel/controls/control_dump.h"
#include "panel/skyvane_form.h"
#include "tests/panel/fixed_scale_options.h"

namespace skyvane {
namespace {

constexpr int kToolTipDeadlineMs = 20000;
const QChar kEllipsis(PanelLabel::kEllipsis);

// What a tooltip shows, as plain text.
QString ToolTipText(const QString& tool_tip) {
  QTextDocument document;
  document.setHtml(tool_tip);
  return document.toPlainText();
}

// A text of digits at least `min` and at most `max` pixels wide in `label`'s
// font.
QString TextOfWidth(const PanelLabel& label, int min, int max) {
  const QFontMetrics metrics = label.fontMetrics();
  QString text;
  while (metrics.horizontalAdvance(text) < min) text += u'8';
  EXPECT_LE(metrics.horizontalAdvance(text), max) << "no digit text fits between the widths";
  return text;
}

TEST(CaptionElisionTest, ACaptionThatDoesNotFitEndsInAnEllipsisAndIsWholeInTheToolTip) {
  Skyvane form(FixedScaleOptions());
  PanelLabel* label = form.Label2(2);  // 57 pixels wide, wholly inside the form
  const struct {
    const char* what;
    QString caption;
    bool cut;
  } cases[] = {
      {"short", QStringLiteral("晴"), false},
      {"empty", QString(), false},
      {"just fits", TextOfWidth(*label, label->width() - 8, label->width()), false},
      {"far too wide", QStringLiteral("Thunderstorms turning to heavy rain in the evening"), true},
      {"wide markup", QStringLiteral("<b>bold</b> <img src=\"/etc/x.png\"> & more words"), true},
      {"second line", QStringLiteral("Fog\nclearing later"), true},
      {"paragraph separator", QStringLiteral("Fog") + QChar::ParagraphSeparator + "later", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    label->SetCaption(c.caption);
    EXPECT_EQ(label->Caption(), c.caption);
    EXPECT_EQ(label->IsElided(), c.cut);
    if (!c.cut) {
      EXPECT_EQ(label->ShownText(), c.caption);
      EXPECT_TRUE(label->toolTip().isEmpty());
      continue;
    }
    const QString shown = label->ShownText();
    EXPECT_TRUE(shown.endsWith(kEllipsis)) << shown.toStdString();
    EXPECT_TRUE(c.caption.startsWith(shown.chopped(1))) << shown.toStdString();
    EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->width());
    EXPECT_EQ(ToolTipText(label->toolTip()).simplified(), c.caption.simplified());
  }
}

TEST(CaptionElisionTest, TheLastColumnCountsOnlyWhatTheWindowShows) {
  Skyvane form(FixedScaleOptions());
  // Label3(6) is 65 pixels wide; the window's edge shows 57 of them.
  PanelLabel* last = form.Label3(6);
  const int shown_width = form.width() - last->x();
  ASSERT_LT(shown_width, last->width());
  // Too wide for what shows: drawn smaller to fit there.
  last->SetCaption(TextOfWidth(*last, shown_width + 1, last->width()));
  EXPECT_FALSE(last->IsElided());
  EXPECT_LT(last->font().pixelSize(), form.font().pixelSize());
  EXPECT_LE(last->fontMetrics().horizontalAdvance(last->ShownText()), shown_width);
  // Too wide even so: cut at the window's edge, in the form's font.
  last->SetCaption(TextOfWidth(*last, shown_width * 2, shown_width * 3));
  EXPECT_TRUE(last->IsElided());
  EXPECT_EQ(last->font().pixelSize(), form.font().pixelSize());
  EXPECT_LE(last->fontMetrics().horizontalAdvance(last->ShownText()), shown_width);

  last->SetCaption(QStringLiteral("7℃"));
  EXPECT_FALSE(last->IsElided());
  EXPECT_EQ(last->font(), form.font());
}

TEST(CaptionElisionTest, AShortFormShowsItsWholeTextInTheToolTip) {
  Skyvane form(FixedScaleOptions());
  PanelLabel* label = form.Label2(1);
  label->SetCaption(QStringLiteral("Rain"), QStringLiteral("Heavy freezing rain"));
  EXPECT_FALSE(label->IsElided());
  EXPECT_TRUE(label->ShowsLess());
  EXPECT_EQ(ToolTipText(label->toolTip()), QStringLiteral("Heavy freezing rain"));
  label->SetCaption(QStringLiteral("Fog"));
  EXPECT_FALSE(label->ShowsLess());
  EXPECT_TRUE(label->toolTip().isEmpty());
}

TEST(CaptionElisionTest, ALaterCaptionThatFitsDropsTheCutAndTheToolTip) {
  Skyvane form(FixedScaleOptions());
  PanelLabel* label = form.Label2(0);
  label->SetCaption(QString(60, u'W'));
  ASSERT_TRUE(label->IsElided());
  label->SetCaption(QStringLiteral("Sunny"));
  EXPECT_FALSE(label->IsElided());
  EXPECT_EQ(label->ShownText(), QStringLiteral("Sunny"));
  EXPECT_TRUE(label->toolTip().isEmpty());
}

TEST(CaptionElisionTest, ACaptionIsCutAgainWhenTheFontChanges) {
  Skyvane form(FixedScaleOptions());
  PanelLabel* label = form.Label2(1);
  label->SetCaption(QStringLiteral("Drizzle"));
  ASSERT_FALSE(label->IsElided());
  QFont large = form.font();
  large.setPixelSize(form.font().pixelSize() * 4);
  form.setFont(large);
  EXPECT_TRUE(label->IsElided());
  EXPECT_EQ(label->Caption(), QStringLiteral("Drizzle"));
}

TEST(CaptionElisionTest, TheDumpKeepsTheWholeCaption) {
  Skyvane form(FixedScaleOptions());
  const QString caption = QStringLiteral("Heavy snow with strong wind from the north");
  form.Label2(4)->SetCaption(caption);
  ASSERT_TRUE(form.Label2(4)->IsElided());
  const std::string json = ControlStateJson(form.Label2(4)->State());
  EXPECT_NE(json.find("\"caption\":\"" + caption.toStdString() + "\""), std::string::npos) << json;
}

TEST(CaptionElisionTest, TheToolTipShowsOverThePanelThatIsNotTheActiveWindow) {
  Skyvane form(FixedScaleOptions());
  PanelLabel* label = form.Label2(3);
  label->SetCaption(QStringLiteral("Sleet and freezing rain, turning to snow overnight"));
  form.show();
  // Another window is the active one, as it is on a desktop.
  QWidget other;
  other.show();
  other.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &other);

  // The mouse comes to rest on the label, through the window system.
  QTest::mouseMove(label, QPoint(4, 4));
  const QDeadlineTimer deadline(kToolTipDeadlineMs);
  while (!QToolTip::isVisible() && !deadline.hasExpired()) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  ASSERT_TRUE(QToolTip::isVisible());
  // The whole caption, then the panel's status.
  const QString shown = ToolTipText(QToolTip::text());
  EXPECT_TRUE(shown.startsWith(label->Caption() + u'\n')) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith(StatusText(form.Status()))) << shown.toStdString();
  QToolTip::hideText();
}

}  // namespace
}  // namespace skyvane
