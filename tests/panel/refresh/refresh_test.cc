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

#include "panel/controls/icon_path.h"
#include "panel/refresh/forecast_refresh.h"
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
    day.wea = std::string("W").append(std::to_string(i + 1));
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

  // A form whose Form_Load has read `document` from a file (on `today`,
  // when given); `*err` receives what it wrote to standard error.
  std::unique_ptr<Skyvane> LoadedForm(const std::string& document, std::string* err,
                                      std::optional<QDate> today = std::nullopt) {
    QFile file(dir_.path() + QStringLiteral("/forecast.json"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(document.c_str());
    file.close();
    SkyvaneOptions options;
    options.scale = TwipScale(kNominalTwipsPerPixel);
    options.icon_folder = icon_folder_;
    options.url = QUrl::fromLocalFile(file.fileName()).toString();
    options.position_file = dir_.filePath(QStringLiteral("place.ini"));
    if (today) options.today = [day = *today] { return day; };
    auto form = std::make_unique<Skyvane>(options);
    testing::internal::CaptureStderr();
    form->Form_Load();
    *err = testing::internal::GetCapturedStderr();
    return form;
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

// A text that ends before its document closes was cut short on its way
// (a connection closed early, a truncated packed stream): read leniently it
// would show a cut field ("10" as "1") as a real value. Every such cut of
// a full forecast is refused before anything is written.
TEST_F(RefreshTest, ForecastCutShortWritesNothing) {
  std::vector<std::string> records = Days(7);
  records[6] =
      "{\"wea\":\"W7\",\"wea_img\":\"yun\",\"tem1\":\"12\",\"tem2\":\"10\","
      "\"win\":[\"N\",\"NE\"],\"hum\":[61, 7.5],\"air\":{\"pm\":true,\"no2\":null}}";
  const std::string full = Document(records);
  EXPECT_FALSE(Fill(full).has_value());
  ResetForm();
  constexpr std::size_t kShortestCut = 1;  // "{" alone
  for (std::size_t length = kShortestCut; length < full.size(); ++length) {
    SCOPED_TRACE(full.substr(0, length));
    const std::optional<RefreshStop> stop = Fill(full.substr(0, length));
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->column, 0);
    EXPECT_EQ(stop->number, ErrorNumber::kInvalidArgument);
    EXPECT_TRUE(stop->reason.contains(QStringLiteral("cut short"))) << stop->reason.toStdString();
    ASSERT_TRUE(Changed().empty());
  }
}

// The status of an answer that was not what was asked for is named.
TEST_F(RefreshTest, StopAfterAnErrorStatusNamesTheStatus) {
  const struct {
    FetchResult fetched;
    const char* ending;
  } cases[] = {
      {FetchResult{QStringLiteral("<html>busy</html>"), QString(), 503,
                   QStringLiteral("Service Unavailable")},
       "the forecast is not a JSON object (the server answered HTTP 503 Service Unavailable)"},
      {FetchResult{QStringLiteral("{\"data\":[]}"), QString(), 404, QString()},
       "the forecast has only 0 day records (the server answered HTTP 404)"},
      {FetchResult{QStringLiteral("{\"data\":[]}"), QString(), 200, QStringLiteral("OK")},
       "the forecast has only 0 day records"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ending);
    ResetForm();
    const std::optional<RefreshStop> stop = RefreshForecast(
        QStringLiteral("test:"), [&](const QString&) { return c.fetched; }, QDate(2026, 12, 8),
        icon_folder_, form_->Columns());
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->reason.toStdString(), c.ending);
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
            QStringLiteral("skyvane: forecast refresh stopped at column 0: a\\x0d\\x0ab %1 %2"));
}

// Texts from the network reach the line; none of their control characters
// may reach the terminal.
TEST(RefreshStopLineTest, WritesControlCharactersEscaped) {
  const struct {
    QString reason;
    QString written;
  } cases[] = {
      {QStringLiteral("\x1b[2J\x1b]0;title\x07"), QStringLiteral("\\x1b[2J\\x1b]0;title\\x07")},
      {QString(QChar(0)) + QStringLiteral("\t\x7f"), QStringLiteral("\\x00\\x09\\x7f")},
      {QStringLiteral("\u0085\u009b31m\u0080"), QStringLiteral("\\x85\\x9b31m\\x80")},
      {QStringLiteral("\u00a0 18\u2103 \\x1b \u6674"),
       QStringLiteral("\u00a0 18\u2103 \\x1b \u6674")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written.toStdString());
    EXPECT_EQ(RefreshStopLine(RefreshStop{2, ErrorNumber::kTypeMismatch, c.reason}),
              QStringLiteral("skyvane: forecast refresh stopped at column 2: ") + c.written);
  }
}

TEST(RefreshStopLineTest, CutsAVeryLongReason) {
  const QString reason = QStringLiteral("x").repeated(kMaxStopReasonChars + 1);
  const QString line = RefreshStopLine(RefreshStop{0, ErrorNumber::kTypeMismatch, reason});
  EXPECT_TRUE(
      line.endsWith(QStringLiteral("x").repeated(kMaxStopReasonChars) + QStringLiteral("...")));
  EXPECT_FALSE(line.contains(QStringLiteral("x").repeated(kMaxStopReasonChars + 1)));
  const QString whole = QStringLiteral("y").repeated(kMaxStopReasonChars);
  EXPECT_TRUE(RefreshStopLine(RefreshStop{0, ErrorNumber::kTypeMismatch, whole}).endsWith(whole));
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
  std::string err;
  const std::unique_ptr<Skyvane> form = LoadedForm(Document(Days(3)), &err, QDate(2026, 12, 30));
  EXPECT_EQ(err,
            "skyvane: forecast refresh stopped at column 3: the forecast has only 3 day records\n");
  ASSERT_TRUE(form->RefreshStopped().has_value());
  EXPECT_EQ(form->Label1(3)->Caption(), QStringLiteral("2号"));
  EXPECT_EQ(form->Label3(2)->Caption(), QStringLiteral("18℃-20℃"));
}

TEST_F(RefreshTest, FormLoadWritesTheForecastsControlCharactersEscaped) {
  std::vector<std::string> records = Days(7);
  Day day;
  day.tem2 = "\\u001b]0;owned\\u0007\\u001b[2J";
  records[1] = Record(day);
  std::string err;
  LoadedForm(Document(records), &err);
  EXPECT_EQ(err,
            "skyvane: forecast refresh stopped at column 1: \"tem2\" of day record 2 does not "
            "start with a number: \"\\x1b]0;owned\\x07\\x1b[2J\"\n");
}

TEST_F(RefreshTest, FormLoadOfAFullForecastIsSilent) {
  std::string err;
  const std::unique_ptr<Skyvane> form = LoadedForm(Document(Days(7)), &err);
  EXPECT_EQ(err, "");
  EXPECT_FALSE(form->RefreshStopped().has_value());
  EXPECT_EQ(form->Label2(6)->Caption(), QStringLiteral("W7"));
}

}  // namespace
}  // namespace skyvane
