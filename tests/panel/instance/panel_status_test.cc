// The panel's status as the JSON line of --status and as a tooltip text.
#include <gtest/gtest.h>

#include <QLocale>
#include <QTimeZone>

#include "panel/instance/panel_status.h"

namespace skyvane {
namespace {

constexpr int kOneHourAhead = 3600;

QDateTime BerlinWinter(int hour, int minute) {
  return QDateTime(QDate(2024, 3, 15), QTime(hour, minute), QTimeZone(kOneHourAhead));
}

TEST(PanelStatus, JsonHasEveryKeyInOrderWithNullForWhatIsAbsent) {
  EXPECT_EQ(
      StatusJson(PanelStatus{}),
      R"({"source":"","updated":null,"problem":null,"next":null,"fetched":null,"stale":false})");
}

TEST(PanelStatus, JsonWritesTimesInIsoFormWithTheirOffset) {
  PanelStatus status;
  status.source = QStringLiteral("Berlin");
  status.updated = BerlinWinter(14, 5);
  status.problem = QStringLiteral("no answer: \"Connection refused\"\n");
  status.next = QDateTime(QDate(2024, 3, 15), QTime(13, 6), QTimeZone::utc());
  EXPECT_EQ(StatusJson(status),
            R"({"source":"Berlin","updated":"2024-03-15T14:05:00+01:00",)"
            R"("problem":"no answer: \"Connection refused\"\n","next":"2024-03-15T13:06:00Z",)"
            R"("fetched":null,"stale":false})");
}

TEST(PanelStatus, JsonKeepsTextsBeyondAsciiAndEscapesControls) {
  PanelStatus status;
  status.source = QStringLiteral("北京\x1b[2J");
  EXPECT_EQ(StatusJson(status),
            "{\"source\":\"\xE5\x8C\x97\xE4\xBA\xAC\\u001b[2J\",\"updated\":null,\"problem\":null,"
            "\"next\":null,\"fetched\":null,\"stale\":false}");
}

TEST(PanelStatus, TextSaysWhatIsKnownLineByLine) {
  const QLocale c(QLocale::C);
  struct Case {
    PanelStatus status;
    QString text;
  };
  PanelStatus fresh;
  fresh.source = QStringLiteral("Berlin");
  PanelStatus updated = fresh;
  updated.updated = BerlinWinter(14, 5);
  PanelStatus planned = updated;
  planned.next = BerlinWinter(14, 35);
  PanelStatus failed = planned;
  failed.problem = QStringLiteral("no answer");
  failed.next = BerlinWinter(14, 6);
  PanelStatus nameless;
  nameless.problem = QStringLiteral("no source");
  const Case cases[] = {
      {fresh, QStringLiteral("Berlin\nNot updated yet")},
      {updated,
       QStringLiteral("Berlin\nUpdated ") + c.toString(BerlinWinter(14, 5), QLocale::ShortFormat)},
      {planned, QStringLiteral("Berlin\nUpdated %1\nNext update %2")
                    .arg(c.toString(BerlinWinter(14, 5), QLocale::ShortFormat),
                         c.toString(BerlinWinter(14, 35), QLocale::ShortFormat))},
      {failed, QStringLiteral("Berlin\nUpdated %1\nProblem: no answer\nNext try %2")
                   .arg(c.toString(BerlinWinter(14, 5), QLocale::ShortFormat),
                        c.toString(BerlinWinter(14, 6), QLocale::ShortFormat))},
      {nameless, QStringLiteral("Not updated yet\nProblem: no source")},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(StatusText(test.status, c), test.text);
  }
}

}  // namespace
}  // namespace skyvane
