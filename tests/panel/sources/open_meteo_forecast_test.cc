// The Open-Meteo forecast: its request address, and recorded answers turned
// into the panel's columns through the one refresh (texts, icons, rounded
// temperatures, colours, day texts from the answer's first date), with
// short answers, nulls, the older spelling and the error answer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QUrl>
#include <QUrlQuery>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "json/decimal.h"
#include "panel/controls/icon_path.h"
#include "panel/skyvane_form.h"
#include "panel/sources/forecast_source.h"
#include "panel/sources/open_meteo_forecast.h"
#include "tests/panel/chinese_texts.h"
#include "tests/panel/sources/recordings.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

// One column as the panel shows it.
struct Column {
  std::string day;
  std::string weather;  // the whole weather text
  std::string icon;     // the icon's name, or "" while it has none
  std::string temperature;
  BgrColor colour;
};

constexpr BgrColor kStored = kBgrBlack;  // a temperature colour left as designed
constexpr int kOk = 200;

class OpenMeteoForecastTest : public testing::Test {
 protected:
  OpenMeteoForecastTest() {
    form_options_.scale = TwipScale(kNominalTwipsPerPixel);
    form_ = std::make_unique<Skyvane>(form_options_);
  }

  // Refreshes the form from a source that answers `body`; the stop, if any.
  std::optional<RefreshStop> Show(const QString& body,
                                  WeatherLanguage language = WeatherLanguage::kEnglish,
                                  int status = kOk, const QString& status_text = "OK") {
    ForecastSource source;
    source.kind = ForecastSource::Kind::kOpenMeteo;
    source.address = QStringLiteral("http://127.0.0.1:9/v1/forecast?latitude=1&longitude=2");
    return RefreshFromSource(
        source,
        [&](const QString& url) {
          asked_ = url;
          return FetchResult{body, QString(), status, status_text};
        },
        language, QDate(2000, 1, 1), IconFolder(QCoreApplication::applicationDirPath()),
        form_->Columns());
  }

  std::vector<Column> Shown() const {
    std::vector<Column> columns;
    for (int c = 0; c < kColumnCount; ++c) {
      const QString picture = form_->Image1(c)->PicturePath();
      columns.push_back(Column{
          form_->Label1(c)->Caption().toStdString(), form_->Label2(c)->WholeText().toStdString(),
          picture.isEmpty() ? "" : picture.section(u'/', -1).toStdString(),
          form_->Label3(c)->Caption().toStdString(), form_->Label3(c)->ForeColor()});
    }
    return columns;
  }

  static void ExpectColumns(const std::vector<Column>& got, const std::vector<Column>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t c = 0; c < want.size(); ++c) {
      SCOPED_TRACE("column " + std::to_string(c));
      EXPECT_EQ(got[c].day, want[c].day);
      EXPECT_EQ(got[c].weather, want[c].weather);
      EXPECT_EQ(got[c].icon, want[c].icon);
      EXPECT_EQ(got[c].temperature, want[c].temperature);
      EXPECT_EQ(got[c].colour, want[c].colour);
    }
  }

  SkyvaneOptions form_options_;
  std::unique_ptr<Skyvane> form_;
  QString asked_;
};

TEST(OpenMeteoAddressTest, AsksForSevenDailyValuesInThePlacesOwnTimeZone) {
  const GeoPlace place{QStringLiteral("Berlin, Germany"), 52.52437, 13.41053};
  const QString address =
      OpenMeteoForecastAddress(QStringLiteral("https://api.open-meteo.com/"), place);
  EXPECT_EQ(address,
            QStringLiteral("https://api.open-meteo.com/v1/forecast?latitude=52.52437&longitude="
                           "13.41053&daily=weather_code,temperature_2m_max,temperature_2m_min,"
                           "precipitation_probability_max,precipitation_sum,wind_speed_10m_max,"
                           "wind_direction_10m_dominant,sunrise,sunset,apparent_temperature_max,"
                           "apparent_temperature_min&hourly=temperature_2m,"
                           "precipitation_probability&timezone=auto&forecast_days=7"));
  // A self-hosted instance under a path keeps its path.
  const QUrl mirror(OpenMeteoForecastAddress(QStringLiteral("http://10.0.0.5:8080/om"),
                                             GeoPlace{QString(), -33.8688, -151.2093}));
  EXPECT_EQ(mirror.path(), QStringLiteral("/om/v1/forecast"));
  const QUrlQuery query(mirror);
  EXPECT_EQ(query.queryItemValue(QStringLiteral("latitude")), QStringLiteral("-33.8688"));
  EXPECT_EQ(query.queryItemValue(QStringLiteral("longitude")), QStringLiteral("-151.2093"));
}

TEST(WholeDegreesTest, RoundsHalfAwayFromZero) {
  struct Case {
    const char* celsius;
    const char* shown;
  };
  const Case cases[] = {
      {"12", "12℃"},     {"12.4", "12℃"},   {"12.5", "13℃"},  {"12.49999", "12℃"},
      {"-12.5", "-13℃"}, {"-12.4", "-12℃"}, {"-0.4", "0℃"},   {"-0.5", "-1℃"},
      {"0.5", "1℃"},     {"9.5", "10℃"},    {"99.5", "100℃"}, {"-9.96", "-10℃"},
      {"0", "0℃"},       {"-0", "0℃"},      {"1e1", "10℃"},   {"25.0", "25℃"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WholeDegreesText(Decimal::FromText(std::string_view(c.celsius))),
              QString::fromUtf8(c.shown))
        << c.celsius;
  }
}

TEST_F(OpenMeteoForecastTest, FillsSevenColumnsFromTheAnswersDays) {
  EXPECT_EQ(Show(Recording("forecast-berlin.json")), std::nullopt);
  EXPECT_EQ(asked_, QStringLiteral("http://127.0.0.1:9/v1/forecast?latitude=1&longitude=2"));
  // The days count from the answer's first date, 29 May, not from today.
  ExpectColumns(Shown(), {
                             {"Fri 29", "Clear", "qing.gif", "15℃-25℃", kColdColor},
                             {"Sat 30", "Partly cloudy", "yun.gif", "15℃-27℃", kColdColor},
                             {"Sun 31", "Overcast", "yin.gif", "16℃-21℃", kStored},
                             {"Mon 1", "Light rain", "yu.gif", "10℃-16℃", kColdColor},
                             {"Tue 2", "Thunderstorm", "lei.gif", "25℃-30℃", kHotColor},
                             {"Wed 3", "Fog", "wu.gif", "-1℃-13℃", kColdColor},
                             {"Thu 4", "Light snow", "xue.gif", "-4℃-3℃", kColdColor},
                         });
  // The columns show the short forms, the tooltips the whole texts.
  const char* const brief[] = {"Clear", "Cloudy", "Overcast", "Rain", "Storm", "Fog", "Snow"};
  for (int c = 0; c < kColumnCount; ++c) {
    EXPECT_EQ(form_->Label2(c)->Caption(), QString::fromUtf8(brief[c])) << c;
    EXPECT_EQ(form_->Label2(c)->ShowsLess(), c != 0 && c != 2 && c != 5) << c;
  }
}

TEST_F(OpenMeteoForecastTest, ShowsChineseTextsForAChineseUser) {
  const ChineseTexts chinese;
  EXPECT_EQ(Show(Recording("forecast-berlin.json"), WeatherLanguage::kChinese), std::nullopt);
  const std::vector<Column> shown = Shown();
  const char* const want[] = {"晴", "多云", "阴", "小雨", "雷阵雨", "雾", "小雪"};
  for (int c = 0; c < kColumnCount; ++c) {
    EXPECT_EQ(shown[c].weather, want[c]) << c;
    EXPECT_EQ(form_->Label2(c)->Caption(), QString::fromUtf8(want[c])) << c;
  }
}

TEST_F(OpenMeteoForecastTest, RecordedAnswersFillTheColumnsUpToTheirFirstFault) {
  struct Case {
    const char* recording;
    std::optional<RefreshStop> stop;  // where and why the refresh stops, if it does
    std::vector<Column> shown;
  };
  const Case cases[] = {
      // 30 December onwards, across the new year; five days only.
      {"forecast-short.json",
       RefreshStop{5, ErrorNumber::kSubscriptOutOfRange, "the forecast has only 5 day records"},
       {
           {"Wed 30", "Snow", "xue.gif", "-4℃-1℃", kColdColor},
           {"Thu 31", "Heavy snow", "xue.gif", "-8℃-0℃", kColdColor},
           {"Fri 1", "Overcast", "yin.gif", "-2℃-5℃", kColdColor},
           {"Sat 2", "Mainly clear", "qing.gif", "0℃-6℃", kColdColor},
           {"Sun 3", "Rain", "yu.gif", "2℃-9℃", kColdColor},
           {"Mon 4", "Label2", "", "Label3", kStored},
           {"Label1", "Label2", "", "Label3", kStored},
       }},
      // Null codes show the neutral weather; a null temperature stops.
      {"forecast-nulls.json",
       RefreshStop{5, ErrorNumber::kTypeMismatch, QString()},
       {
           {"Wed 8", "Showers", "yu.gif", "27℃-33℃", kHotColor},
           {"Thu 9", "Unknown", "weizhi.gif", "27℃-35℃", kHotColor},
           {"Fri 10", "Thunderstorm, hail", "bingbao.gif", "26℃-32℃", kHotColor},
           {"Sat 11", "Unknown", "weizhi.gif", "26℃-30℃", kHotColor},
           {"Sun 12", "Light showers", "yu.gif", "25℃-30℃", kHotColor},
           {"Mon 13", "Violent showers", "yu.gif", "Label3", kStored},
           {"Label1", "Label2", "", "Label3", kStored},
       }},
      // The older "weathercode" spelling.
      {"forecast-weathercode.json",
       std::nullopt,
       {
           {"Sat 10", "Rime fog", "wu.gif", "-3℃-3℃", kColdColor},
           {"Sun 11", "Light drizzle", "yu.gif", "-1℃-4℃", kColdColor},
           {"Mon 12", "Drizzle", "yu.gif", "2℃-5℃", kColdColor},
           {"Tue 13", "Dense drizzle", "yu.gif", "2℃-7℃", kColdColor},
           {"Wed 14", "Freezing drizzle", "yu.gif", "-3℃-1℃", kColdColor},
           {"Thu 15", "Dense freezing drizzle", "yu.gif", "-4℃-0℃", kColdColor},
           {"Fri 16", "Thunderstorm, heavy hail", "bingbao.gif", "3℃-8℃", kColdColor},
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recording);
    form_ = std::make_unique<Skyvane>(form_options_);
    const std::optional<RefreshStop> stop = Show(Recording(c.recording));
    ASSERT_EQ(stop.has_value(), c.stop.has_value());
    if (stop) {
      EXPECT_EQ(stop->column, c.stop->column);
      EXPECT_EQ(stop->number, c.stop->number);
      if (!c.stop->reason.isEmpty()) {
        EXPECT_EQ(stop->reason, c.stop->reason);
      }
    }
    ExpectColumns(Shown(), c.shown);
  }
}

TEST_F(OpenMeteoForecastTest, TheErrorAnswerStopsAtColumnZeroWithItsReason) {
  const std::optional<RefreshStop> stop = Show(Recording("forecast-error.json"));
  ASSERT_TRUE(stop.has_value());
  EXPECT_EQ(stop->column, 0);
  EXPECT_EQ(stop->reason,
            QStringLiteral("fetch failed: the forecast service refused the request: Latitude "
                           "must be in range of -90 to 90°. Given: 95.0."));
  for (const Column& column : Shown()) EXPECT_EQ(column.day, "Label1");
}

TEST_F(OpenMeteoForecastTest, AnHttpErrorStatusIsNamedUnlessTheServiceSaidWhy) {
  struct Case {
    const char* body;
    int status;
    const char* status_text;
    const char* reason;
  };
  const Case cases[] = {
      {"<html>Service Unavailable</html>", 503, "Service Unavailable",
       "the answer of the forecast service is not JSON: Invalid JSON (the server answered HTTP "
       "503 Service Unavailable)"},
      {"[]", 502, "",
       "the answer of the forecast service is not a JSON object (the server "
       "answered HTTP 502)"},
      {R"({"detail":"Not Found"})", 404, "Not Found",
       "the forecast service answered HTTP 404 Not Found"},
      {R"({"error":true,"reason":"Parameter 'daily' is invalid."})", 400, "Bad Request",
       "the forecast service refused the request: Parameter 'daily' is invalid."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    const std::optional<RefreshStop> stop =
        Show(QString::fromUtf8(c.body), WeatherLanguage::kEnglish, c.status,
             QString::fromUtf8(c.status_text));
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->column, 0);
    EXPECT_EQ(stop->reason, QStringLiteral("fetch failed: ") + QString::fromUtf8(c.reason));
  }
}

TEST_F(OpenMeteoForecastTest, AnswersThatAreNotCleanForecastsStopWithTheirReason) {
  struct Case {
    const char* body;
    const char* reason;
  };
  const Case cases[] = {
      {"<html>502 Bad Gateway</html>", "the answer of the forecast service is not JSON: "},
      {R"({"daily":{"time":["2026-05-29","2026-05-30"],"weather_code":[1,2],)",
       "the answer of the forecast service is not JSON: "},
      {R"([1,2])", "the answer of the forecast service is not a JSON object"},
      {R"({"error":true})", "the forecast service refused the request: no reason given"},
      {R"({"latitude":1})", "the answer of the forecast service has no \"daily\" object"},
      {R"({"daily":{"time":["2026-05-29"],"temperature_2m_max":[1],"temperature_2m_min":[1]}})",
       "the answer of the forecast service has no daily \"weather_code\" list"},
      {R"({"daily":{"time":["2026-05-29"],"weather_code":[1],"temperature_2m_min":[1]}})",
       "the answer of the forecast service has no daily \"temperature_2m_max\" list"},
      {R"({"daily":{"time":["29.05.2026"],"weather_code":[1],"temperature_2m_max":[1],)"
       R"("temperature_2m_min":[1]}})",
       "the first date of the forecast is not a date: \"29.05.2026\""},
      {R"({"daily":{"time":[],"weather_code":[],"temperature_2m_max":[],)"
       R"("temperature_2m_min":[]}})",
       "the first date of the forecast is not a date: \"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    const std::optional<RefreshStop> stop = Show(QString::fromUtf8(c.body));
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->column, 0);
    EXPECT_TRUE(
        stop->reason.startsWith(QStringLiteral("fetch failed: ") + QString::fromUtf8(c.reason)))
        << stop->reason.toStdString();
  }
}

TEST_F(OpenMeteoForecastTest, NoAnswerIsReportedAsForAnyForecast) {
  ForecastSource source;
  source.kind = ForecastSource::Kind::kOpenMeteo;
  source.address = QStringLiteral("http://127.0.0.1:9/v1/forecast");
  const std::optional<RefreshStop> stop = RefreshFromSource(
      source,
      [](const QString&) {
        return FetchResult{QString(), QStringLiteral("Connection refused")};
      },
      WeatherLanguage::kEnglish, QDate(2026, 12, 8),
      IconFolder(QCoreApplication::applicationDirPath()), form_->Columns());
  ASSERT_TRUE(stop.has_value());
  EXPECT_EQ(stop->column, 0);
  EXPECT_TRUE(
      stop->reason.endsWith(QStringLiteral("(the fetch got no answer: Connection refused)")))
      << stop->reason.toStdString();
}

TEST(OpenMeteoConversionTest, WritesOneRecordPerDayWithNullForAMissingTemperature) {
  const ConvertedForecast converted = ConvertOpenMeteoForecast(
      FetchResult{
          QStringLiteral(R"({"daily":{"time":["2026-02-28","2026-03-01"],"weather_code":[0],)"
                         R"("temperature_2m_max":[5.5,6],"temperature_2m_min":[null]}})"),
          QString()},
      WeatherLanguage::kEnglish);
  EXPECT_EQ(converted.first_day, QDate(2026, 2, 28));
  EXPECT_EQ(converted.document,
            QStringLiteral(
                R"({"data":[{"wea":"Clear","wea_img":"qing","tem1":"6℃","tem2":null},)"
                R"({"wea":"Unknown","wea_img":"weizhi","tem1":"6℃","tem2":null}],)"
                R"("day_captions":["Sat 28","Sun 1","Mon 2","Tue 3","Wed 4","Thu 5","Fri 6"]})"));
}

}  // namespace
}  // namespace skyvane
