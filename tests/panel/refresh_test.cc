// The forecast refresh: the column loop, the day texts, the colour test and
// where each failure stops, leaving exactly what was written before it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "panel/forecast_refresh.h"
#include "panel/icon_path.h"
#include "panel/skyvane_form.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

struct Day {
  std::string wea = "Sunny";
  std::string wea_img = "qing";
  std::string tem1 = "20℃";
  std::string tem2 = "18℃";
};

// A day record as JSON text; fields given as raw JSON replace the defaults.
std::string Record(const Day& day) {
  return "{\"date\":\"x\",\"wea\":\"" + day.wea + "\",\"wea_img\":\"" + day.wea_img +
         "\",\"tem1\":\"" + day.tem1 + "\",\"tem2\":\"" + day.tem2 + "\"}";
}

std::string Document(const std::vector<std::string>& records) {
  std::string text = "{\"city\":\"Test\",\"data\":[";
  for (std::size_t i = 0; i < records.size(); ++i) text += (i ? "," : "") + records[i];
  return text + "]}";
}

std::vector<std::string> Days(int count) {
  std::vector<std::string> records;
  for (int i = 0; i < count; ++i) {
    Day day;
    day.wea = "W" + std::to_string(i + 1);
    records.push_back(Record(day));
  }
  return records;
}

QString Q(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

std::string Name(const ControlState& s) {
  return s.control.toStdString() + (s.index ? "(" + std::to_string(*s.index) + ")" : "");
}

class RefreshTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // <dir>/black/ is the icon folder; <dir>/qing.gif lies just outside it.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("black")));
    icon_folder_ = dir_.path() + QStringLiteral("/black/");
    const QString shipped = IconFolder(QCoreApplication::applicationDirPath());
    for (const char* name : {"qing", "yun", "yu", "xue"}) {
      const QString file = QLatin1String(name) + QStringLiteral(".gif");
      ASSERT_TRUE(QFile::copy(shipped + file, icon_folder_ + file)) << name;
    }
    ASSERT_TRUE(QFile::copy(shipped + QStringLiteral("qing.gif"),
                            dir_.path() + QStringLiteral("/qing.gif")));
    QFile bad(icon_folder_ + QStringLiteral("bad.gif"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("this is no picture");
    bad.close();
    ResetForm();
  }

  // A fresh form with the stored design.
  void ResetForm() {
    SkyvaneOptions options;
    options.scale = TwipScale(kNominalTwipsPerPixel);
    options.icon_folder = icon_folder_;
    options.url = QStringLiteral("file:///nonexistent");
    form_ = std::make_unique<Skyvane>(options);
    before_ = form_->ControlStates();
  }

  // Fills the columns from `text` on `today`; the stop, if any.
  std::optional<RefreshStop> Fill(const std::string& text, QDate today = QDate(2026, 12, 8)) {
    const QString forecast = Q(text);
    return RefreshForecast(
        QStringLiteral("test:"),
        [&](const QString&) {
          return FetchResult{forecast, {}};
        },
        today, icon_folder_, form_->Columns());
  }

  // The names of the controls whose state differs from the stored design.
  std::set<std::string> Changed() const {
    std::set<std::string> changed;
    const std::vector<ControlState> now = form_->ControlStates();
    for (std::size_t i = 1; i < now.size(); ++i) {
      const ControlState& a = before_[i];
      const ControlState& b = now[i];
      if (a.caption != b.caption || a.fore_color != b.fore_color || a.twips != b.twips ||
          a.picture != b.picture) {
        changed.insert(Name(b));
      }
    }
    return changed;
  }

  // Every control of columns 0 .. `full` - 1.
  static std::set<std::string> Columns(int full) {
    std::set<std::string> names;
    for (int c = 0; c < full; ++c) {
      for (const char* array : {"Label1", "Label2", "Image1", "Label3"}) {
        names.insert(std::string(array) + "(" + std::to_string(c) + ")");
      }
    }
    return names;
  }

  static std::set<std::string> Plus(std::set<std::string> names,
                                    std::initializer_list<const char*> more) {
    names.insert(more.begin(), more.end());
    return names;
  }

  QTemporaryDir dir_;
  QString icon_folder_;
  std::unique_ptr<Skyvane> form_;
  std::vector<ControlState> before_;
};

TEST_F(RefreshTest, TenRecordsFillTheColumnsFromTheFirstSeven) {
  std::vector<std::string> records = Days(10);
  records[9] = "{\"wea\": null}";  // never read
  EXPECT_FALSE(Fill(Document(records)).has_value());
  EXPECT_EQ(Changed(), Columns(7));
  for (int c = 0; c < kColumnCount; ++c) {
    EXPECT_EQ(form_->Label2(c)->Caption(), QStringLiteral("W%1").arg(c + 1));
    EXPECT_EQ(form_->Label3(c)->Caption(), QStringLiteral("18℃-20℃"));
    EXPECT_EQ(form_->Image1(c)->PicturePath(), icon_folder_ + QStringLiteral("qing.gif"));
    EXPECT_EQ(form_->Image1(c)->TwipGeometry().size(), QSize(480, 480));
  }
}

TEST_F(RefreshTest, FiveRecordsFillFiveColumnsAndTheSixthDay) {
  const std::optional<RefreshStop> stop = Fill(Document(Days(5)));
  ASSERT_TRUE(stop.has_value());
  EXPECT_EQ(stop->column, 5);
  EXPECT_EQ(stop->number, ErrorNumber::kSubscriptOutOfRange);
  EXPECT_EQ(Changed(), Plus(Columns(5), {"Label1(5)"}));
  EXPECT_EQ(form_->Label1(5)->Caption(), QStringLiteral("13号"));
  EXPECT_EQ(form_->Label2(5)->Caption(), QStringLiteral("Label2"));
}

TEST_F(RefreshTest, AnswerWithoutAJsonObjectWritesOnlyTheFirstDay) {
  for (const std::string text :
       {"<html><body><h1>404 Not Found</h1></body></html>", "", "[1, 2, 3]",
        "{\"data\": {\"1\": {}}}", "{\"data\": \"none\"}", "{\"Data\": []}",
        "{\"data\": [\"a\", \"b\"]}", "{\"data\": [[1], [2]]}"}) {
    ResetForm();
    SCOPED_TRACE(text);
    const std::optional<RefreshStop> stop = Fill(text);
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->column, 0);
    EXPECT_EQ(stop->number, ErrorNumber::kObjectRequired);
    EXPECT_EQ(Changed(), std::set<std::string>{"Label1(0)"});
    EXPECT_EQ(form_->Label1(0)->Caption(), QStringLiteral("08号"));
  }
}

TEST_F(RefreshTest, DayTextsCountFromTheInjectedDate) {
  struct Case {
    QDate today;
    const char* expected;  // the seven Label1 captions, blank-separated
  };
  const Case cases[] = {
      {QDate(2026, 12, 8), "08号 9号 10号 11号 12号 13号 14号"},
      {QDate(2026, 11, 29), "29号 30号 1号 2号 3号 4号 5号"},    // 30-day month
      {QDate(2026, 1, 31), "31号 1号 2号 3号 4号 5号 6号"},      // last day of a month
      {QDate(2026, 12, 31), "31号 1号 2号 3号 4号 5号 6号"},     // last day of the year
      {QDate(2026, 12, 28), "28号 29号 30号 31号 1号 2号 3号"},  // into the next year
      {QDate(2027, 2, 27), "27号 28号 1号 2号 3号 4号 5号"},     // February, common year
      {QDate(2028, 2, 27), "27号 28号 29号 1号 2号 3号 4号"},    // February, leap year
      {QDate(2026, 3, 1), "01号 2号 3号 4号 5号 6号 7号"},       // the first: two digits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.today.toString(Qt::ISODate).toStdString());
    EXPECT_FALSE(Fill(Document(Days(7)), c.today).has_value());
    QStringList days;
    for (int i = 0; i < kColumnCount; ++i) days << form_->Label1(i)->Caption();
    EXPECT_EQ(days.join(u' '), QString::fromUtf8(c.expected));
  }
}

TEST_F(RefreshTest, ColourTestReadsTheFirstTwoCharactersOfTem2) {
  enum Expect { kCold, kHot, kUntouched };
  struct Case {
    const char* tem2;
    Expect expect;
  };
  const Case cases[] = {
      {"15", kCold},  {"16", kUntouched}, {"24", kUntouched},   {"25", kHot},
      {"-3", kCold},  {"12℃", kCold},     {"30℃", kHot},        {"-12", kCold},  // cut to -1
      {"100", kCold}, {"250", kHot},      {"-30℃", kCold},      {"0", kCold},
      {"9", kCold},   {"2℃", kCold},      {"24.9", kUntouched}, {"1.5", kCold},
      {" 7℃", kCold}, {"+30", kCold},     {"16℃", kUntouched},  {"26", kHot},
  };
  for (const Case& c : cases) {
    ResetForm();
    SCOPED_TRACE(c.tem2);
    // A red label first, so that "untouched" is told apart from "set black".
    form_->Label3(0)->SetForeColor(0x00FF00);
    std::vector<std::string> records = Days(7);
    Day day;
    day.tem2 = c.tem2;
    records[0] = Record(day);
    EXPECT_FALSE(Fill(Document(records)).has_value());
    const BgrColor expected = c.expect == kCold  ? kColdColor
                              : c.expect == kHot ? kHotColor
                                                 : 0x00FF00;
    EXPECT_EQ(form_->Label3(0)->ForeColor(), expected);
    EXPECT_EQ(form_->Label3(0)->palette().color(QPalette::WindowText), BgrToColor(expected));
  }
}

TEST_F(RefreshTest, Tem2ThatIsNoNumberStopsAfterTheTemperatureText) {
  for (const char* tem2 : {"", "ab", "-", "℃5", "--", "x1", ".", "-℃"}) {
    ResetForm();
    SCOPED_TRACE(tem2);
    std::vector<std::string> records = Days(7);
    Day day;
    day.tem2 = tem2;
    records[2] = Record(day);
    const std::optional<RefreshStop> stop = Fill(Document(records));
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->column, 2);
    EXPECT_EQ(stop->number, ErrorNumber::kTypeMismatch);
    EXPECT_EQ(form_->Label3(2)->Caption(), QString::fromUtf8(tem2) + QStringLiteral("-20℃"));
    EXPECT_EQ(form_->Label3(2)->ForeColor(), kBgrBlack);
    EXPECT_EQ(Changed(), Plus(Columns(2), {"Label1(2)", "Label2(2)", "Image1(2)", "Label3(2)"}));
  }
}

TEST_F(RefreshTest, MissingTem2StopsLikeAnEmptyOne) {
  std::vector<std::string> records = Days(7);
  records[0] = R"({"wea":"Fog","wea_img":"yu","tem1":"9"})";
  const std::optional<RefreshStop> stop = Fill(Document(records));
  ASSERT_TRUE(stop.has_value());
  EXPECT_EQ(stop->column, 0);
  EXPECT_EQ(stop->number, ErrorNumber::kTypeMismatch);
  EXPECT_EQ(form_->Label3(0)->Caption(), QStringLiteral("-9"));
}

TEST_F(RefreshTest, TemperatureTextShowsTem2ThenTem1AsTheyCome) {
  std::vector<std::string> records = Days(7);
  records[0] = R"({"wea":"Clear","wea_img":"qing","tem1":"20℃","tem2":"12℃"})";
  records[1] = R"({"wea":"Clear","wea_img":"qing","tem1":30,"tem2":-4.50})";
  records[2] = R"({"wea":true,"wea_img":"qing","tem1":"  31 °F ","tem2":"17"})";
  EXPECT_FALSE(Fill(Document(records)).has_value());
  EXPECT_EQ(form_->Label3(0)->Caption(), QStringLiteral("12℃-20℃"));
  EXPECT_EQ(form_->Label3(1)->Caption(), QStringLiteral("-4.5-30"));
  EXPECT_EQ(form_->Label3(1)->ForeColor(), kColdColor);
  EXPECT_EQ(form_->Label3(2)->Caption(), QStringLiteral("17-  31 °F "));
  EXPECT_EQ(form_->Label2(2)->Caption(), QStringLiteral("true"));
}

TEST_F(RefreshTest, MissingKeysShowAsEmptyText) {
  std::vector<std::string> records = Days(7);
  records[4] = R"({"wea_img":"xue","tem1":"3","tem2":"-2","WEA":"upper case is another key"})";
  EXPECT_FALSE(Fill(Document(records)).has_value());
  EXPECT_EQ(form_->Label2(4)->Caption(), QString());
  EXPECT_EQ(form_->Image1(4)->PicturePath(), icon_folder_ + QStringLiteral("xue.gif"));
}

TEST_F(RefreshTest, ValueThatCannotBeShownAsTextStopsAtIt) {
  for (const char* wea : {"null", "[]", "{}", "[\"Sunny\"]"}) {
    ResetForm();
    SCOPED_TRACE(wea);
    std::vector<std::string> records = Days(7);
    records[3] = std::string(R"({"wea":)") + wea + R"(,"wea_img":"qing","tem1":"1","tem2":"2"})";
    const std::optional<RefreshStop> stop = Fill(Document(records));
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->column, 3);
    EXPECT_EQ(stop->number, ErrorNumber::kTypeMismatch);
    EXPECT_EQ(Changed(), Plus(Columns(3), {"Label1(3)"}));
  }
}

TEST_F(RefreshTest, IconThatCannotBeLoadedStopsAfterTheWeatherText) {
  for (const char* icon : {"nosuch", "bad", "", "QING"}) {
    ResetForm();
    SCOPED_TRACE(icon);
    std::vector<std::string> records = Days(7);
    Day day;
    day.wea_img = icon;
    records[1] = Record(day);
    const std::optional<RefreshStop> stop = Fill(Document(records));
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->column, 1);
    EXPECT_EQ(stop->number, ErrorNumber::kInvalidArgument);
    EXPECT_TRUE(stop->reason.contains(icon_folder_ + QString::fromUtf8(icon) + ".gif"))
        << stop->reason.toStdString();
    EXPECT_EQ(Changed(), Plus(Columns(1), {"Label1(1)", "Label2(1)"}));
    EXPECT_FALSE(form_->Image1(1)->HasPicture());
  }
}

TEST_F(RefreshTest, IconNameThatLeavesTheFolderIsRefusedEvenIfTheFileExists) {
  // Each of these would reach <dir>/qing.gif, which exists, or another file.
  const QString absolute = dir_.path() + QStringLiteral("/qing");
  const std::vector<QString> names = {
      QStringLiteral("../qing"),
      QStringLiteral("..\\qing"),
      absolute,
      QStringLiteral("./../black/qing"),
      QStringLiteral("black/../qing"),
      QStringLiteral(".."),
      QStringLiteral("C:qing"),
      QStringLiteral("qing") + QChar(u'\0') + QStringLiteral("x"),
  };
  for (const QString& name : names) {
    ResetForm();
    SCOPED_TRACE(name.toStdString());
    std::vector<std::string> records = Days(7);
    // Built as JSON with the NUL escaped, the rest as it stands.
    QString escaped = name;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(QChar(u'\0'), QStringLiteral("\\u0000"));
    records[0] =
        R"({"wea":"Sunny","wea_img":")" + escaped.toStdString() + R"(","tem1":"1","tem2":"2"})";
    const std::optional<RefreshStop> stop = Fill(Document(records));
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->column, 0);
    EXPECT_EQ(stop->number, ErrorNumber::kInvalidArgument);
    EXPECT_FALSE(form_->Image1(0)->HasPicture());
    EXPECT_EQ(Changed(), (std::set<std::string>{"Label1(0)", "Label2(0)"}));
    EXPECT_FALSE(stop->reason.contains(QChar(u'\0')));
  }
}

TEST(IconPathTest, JoinsFolderNameAndExtensionAsText) {
  const QChar sep = QDir::separator();
  const QString folder = IconFolder(QStringLiteral("/opt/panel"));
  EXPECT_EQ(folder, QDir::toNativeSeparators(QStringLiteral("/opt/panel/tianqi_ICON/black/")));
  EXPECT_EQ(IconPath(folder, QStringLiteral("sun")),
            QDir::toNativeSeparators(QStringLiteral("/opt/panel/tianqi_ICON/black/sun.gif")));
  // A root folder already ends in its separator.
  EXPECT_EQ(IconFolder(QString(sep)),
            QString(sep) + QStringLiteral("tianqi_ICON") + sep + QStringLiteral("black") + sep);
  for (const char* safe : {"qing", "lei_zhen_yu", "a.b", "中雨", ""}) {
    EXPECT_TRUE(IsSafeIconName(QString::fromUtf8(safe))) << safe;
  }
  for (const char* unsafe : {"a/b", "/abs", "a\\b", "..", "a..b", "C:x"}) {
    EXPECT_FALSE(IsSafeIconName(QString::fromUtf8(unsafe))) << unsafe;
    EXPECT_THROW(IconPath(folder, QString::fromUtf8(unsafe)), RunError) << unsafe;
  }
}

TEST_F(RefreshTest, FetchFailureWritesNothing) {
  const std::optional<RefreshStop> stop = RefreshForecast(
      QStringLiteral("test:"),
      [](const QString&) -> FetchResult {
        Raise(ErrorNumber::kInvalidArgument, "the answer is larger than 8388608 bytes");
      },
      QDate(2026, 12, 8), icon_folder_, form_->Columns());
  ASSERT_TRUE(stop.has_value());
  EXPECT_EQ(stop->column, 0);
  EXPECT_TRUE(stop->reason.startsWith(QStringLiteral("fetch failed: the answer is larger")));
  EXPECT_TRUE(Changed().empty());
}

TEST_F(RefreshTest, StopAfterAFetchWithoutAnswerNamesTheFetchProblem) {
  QString asked;
  const std::optional<RefreshStop> stop = RefreshForecast(
      QStringLiteral("http://127.0.0.1:9/api?x=1"),
      [&](const QString& url) {
        asked = url;
        return FetchResult{QString(), QStringLiteral("Connection refused")};
      },
      QDate(2026, 12, 8), icon_folder_, form_->Columns());
  EXPECT_EQ(asked, QStringLiteral("http://127.0.0.1:9/api?x=1"));
  ASSERT_TRUE(stop.has_value());
  EXPECT_EQ(stop->column, 0);
  EXPECT_TRUE(
      stop->reason.endsWith(QStringLiteral("(the fetch got no answer: Connection refused)")))
      << stop->reason.toStdString();
  EXPECT_EQ(Changed(), std::set<std::string>{"Label1(0)"});
}

TEST(RefreshStopLineTest, IsOneLineNamingColumnAndReason) {
  EXPECT_EQ(RefreshStopLine(RefreshStop{3, ErrorNumber::kTypeMismatch, QStringLiteral("bad")}),
            QStringLiteral("skyvane: forecast refresh stopped at column 3: bad"));
  EXPECT_EQ(RefreshStopLine(
                RefreshStop{0, ErrorNumber::kInvalidArgument, QStringLiteral("a\r\nb %1 %2")}),
            QStringLiteral("skyvane: forecast refresh stopped at column 0: a  b %1 %2"));
}

TEST(RequestAddressTest, IsPlainHttpToTheBuildsHostWithTheFixedQuery) {
  const QUrl address(DefaultRequestAddress());
  EXPECT_EQ(address.scheme(), QStringLiteral("http"));
  EXPECT_FALSE(address.host().isEmpty());
  EXPECT_EQ(address.path(), QStringLiteral("/api"));
  EXPECT_EQ(address.query(), QStringLiteral("version=v1&appid=48157302&appsecret=Qw7rZp2K"));
  EXPECT_TRUE(DefaultRequestAddress().endsWith(QLatin1String(kRequestPathAndQuery)));
}

TEST_F(RefreshTest, FormLoadReportsAStopOnOneLineAndKeepsTheForm) {
  QFile file(dir_.path() + QStringLiteral("/forecast.json"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(Document(Days(3)).c_str());
  file.close();
  SkyvaneOptions options;
  options.scale = TwipScale(kNominalTwipsPerPixel);
  options.icon_folder = icon_folder_;
  options.url = QUrl::fromLocalFile(file.fileName()).toString();
  options.position_file = dir_.filePath(QStringLiteral("place.ini"));
  options.today = [] { return QDate(2026, 12, 30); };
  Skyvane form(options);
  testing::internal::CaptureStderr();
  form.Form_Load();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "skyvane: forecast refresh stopped at column 3: the forecast has only 3 day records\n");
  ASSERT_TRUE(form.RefreshStopped().has_value());
  EXPECT_EQ(form.Label1(3)->Caption(), QStringLiteral("2号"));
  EXPECT_EQ(form.Label3(2)->Caption(), QStringLiteral("18℃-20℃"));
}

TEST_F(RefreshTest, FormLoadOfAFullForecastIsSilent) {
  QFile file(dir_.path() + QStringLiteral("/forecast.json"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(Document(Days(7)).c_str());
  file.close();
  SkyvaneOptions options;
  options.scale = TwipScale(kNominalTwipsPerPixel);
  options.icon_folder = icon_folder_;
  options.url = QUrl::fromLocalFile(file.fileName()).toString();
  options.position_file = dir_.filePath(QStringLiteral("place.ini"));
  Skyvane form(options);
  testing::internal::CaptureStderr();
  form.Form_Load();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(form.RefreshStopped().has_value());
  EXPECT_EQ(form.Label2(6)->Caption(), QStringLiteral("W7"));
}

}  // namespace
}  // namespace skyvane
