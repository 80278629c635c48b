// The kept forecast: its file read back whole, every untrustworthy file
// refused with a reason and without blocking, and its days moved on to
// today in the panel's columns.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimeZone>
#include <functional>
#include <string>
#include <vector>

#include "panel/controls/icon_path.h"
#include "panel/controls/panel_controls.h"
#include "panel/keep/kept_columns.h"
#include "panel/keep/kept_forecast.h"
#include "panel/skyvane_form.h"
#include "tests/panel/test_files.h"

namespace skyvane {
namespace {

QString Document(int days) {
  QString text = QStringLiteral("{\"data\":[");
  for (int i = 0; i < days; ++i) {
    text +=
        QStringLiteral("%1{\"wea\":\"W%2\",\"wea_img\":\"qing\",\"tem1\":\"20℃\",\"tem2\":\"%3℃\"}")
            .arg(i ? QStringLiteral(",") : QString())
            .arg(i + 1)
            .arg(10 + i);
  }
  return text + QStringLiteral("]}");
}

KeptForecast Kept(QDate first_day, int days = 7) {
  return KeptForecast{QStringLiteral("open-meteo"),
                      GeoPlace{QStringLiteral("Berlin \"Mitte\""), 52.52, -13.41},
                      QDateTime(first_day, QTime(6, 30), QTimeZone::utc()),
                      first_day,
                      Document(days),
                      QStringLiteral("{\"utc_offset_seconds\":3600,\"days\":[]}")};
}

TEST(KeptForecast, ReadsBackWhatWasWrittenAndRefusesEveryOtherFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path =
      KeptForecastPath(dir.path() + QStringLiteral("/deeper"), QStringLiteral("open-meteo"));
  EXPECT_FALSE(ReadKeptForecast(path).kept);  // missing: nothing, no problem
  EXPECT_TRUE(ReadKeptForecast(path).problem.isEmpty());

  KeptForecast kept = Kept(QDate(2026, 12, 9));
  // fetched at a whole second, and with milliseconds (which come back too)
  for (const int msec : {0, 123}) {
    kept.fetched = kept.fetched.addMSecs(msec);
    ASSERT_EQ(WriteKeptForecast(path, kept), QString());
    const KeptRead read = ReadKeptForecast(path);
    ASSERT_TRUE(read.kept) << read.problem.toStdString();
    EXPECT_EQ(read.kept->source, kept.source);
    EXPECT_EQ(read.kept->place.name, kept.place.name);
    EXPECT_TRUE(SamePlace(read.kept->place, kept.place));
    EXPECT_EQ(read.kept->fetched, kept.fetched) << msec;
    EXPECT_EQ(read.kept->first_day, kept.first_day);
    EXPECT_EQ(read.kept->document, kept.document);
    EXPECT_EQ(read.kept->details, kept.details);
  }
  kept.fetched = kept.fetched.addMSecs(-123);
  ASSERT_EQ(WriteKeptForecast(path, kept), QString());

  const QByteArray whole = ReadFile(path);
  const std::vector<std::pair<const char*, std::function<void(const QString&)>>> hostile = {
      {"garbage", [](const QString& p) { WriteFile(p, "\x89PNG\r\n\x1a\n not json"); }},
      {"truncated", [&](const QString& p) { WriteFile(p, whole.left(whole.size() / 2)); }},
      {"another format",
       [&](const QString& p) {
         WriteFile(p, QByteArray(whole).replace("forecast 1", "forecast 9"));
       }},
      {"a list", [](const QString& p) { WriteFile(p, "[1,2,3]"); }},
      {"no document",
       [&](const QString& p) { WriteFile(p, QByteArray(whole).replace("\"document\"", "\"x\"")); }},
      {"a bad date",
       [&](const QString& p) {
         WriteFile(p, QByteArray(whole).replace("2026-12-09\"", "2026-13-09\""));
       }},
      {"a time past the year 9999 in UTC",
       [&](const QString& p) {
         WriteFile(p,
                   QByteArray(whole).replace("2026-12-09T06:30:00Z", "9999-12-31T23:00:00-05:00"));
       }},
      {"FIFO", [](const QString& p) { ASSERT_EQ(mkfifo(p.toLocal8Bit().constData(), 0600), 0); }},
      {"huge sparse",
       [](const QString& p) {
         WriteFile(p, "{");
         ASSERT_EQ(truncate(p.toLocal8Bit().constData(), off_t{1} << 30), 0);
       }},
  };
  for (const auto& [name, make] : hostile) {
    QFile::remove(path);
    make(path);
    const KeptRead refused = ReadKeptForecast(path);
    EXPECT_FALSE(refused.kept) << name;
    EXPECT_TRUE(refused.problem.contains(path)) << name << ": " << refused.problem.toStdString();
  }
  QFile::remove(path);
  EXPECT_NE(WriteKeptForecast(path, Kept(QDate(2026, 12, 9), 20000)), QString());  // too large
  EXPECT_FALSE(QFile::exists(path));
}

TEST(KeptForecast, ShowsItsDaysMovedOnToToday) {
  SkyvaneOptions options;
  options.scale = TwipScale(kNominalTwipsPerPixel);
  options.url = QStringLiteral("file:///nonexistent");
  const QString icons = IconFolder(QCoreApplication::applicationDirPath());
  const QDate today(2026, 12, 9);
  struct Case {
    int days_old;
    int kept_days;
    int shown;
  };
  for (const Case& c : std::vector<Case>{{0, 7, 7}, {2, 7, 5}, {1, 3, 2}, {7, 7, 0}, {-1, 7, 0}}) {
    Skyvane form(options);
    const QString design = form.Label2(6)->Caption();
    const int shown = ShowKeptForecast(Kept(today.addDays(-c.days_old), c.kept_days), today, icons,
                                       &form, form.Scale(), form.Columns());
    EXPECT_EQ(shown, c.shown) << c.days_old;
    if (shown == 0) continue;
    EXPECT_EQ(form.Label1(0)->Caption(), QStringLiteral("09号"));
    EXPECT_EQ(form.Label2(0)->Caption(), QStringLiteral("W%1").arg(c.days_old + 1));
    EXPECT_EQ(form.Label3(0)->Caption(), QStringLiteral("%1℃-20℃").arg(10 + c.days_old));
    EXPECT_EQ(form.Label2(6)->Caption(), shown == 7 ? QStringLiteral("W7") : design);
  }
}

}  // namespace
}  // namespace skyvane
