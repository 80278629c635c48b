// MET Norway's forecast: the symbol table, the request address, and
// recorded answers (a place at UTC+8 and one at UTC-5; hourly then
// six-hourly entries with a gap between, the last entry instant only)
// turned into the panel's columns through the one refresh.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimeZone>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "panel/controls/icon_path.h"
#include "panel/skyvane_form.h"
#include "panel/sources/forecast_source.h"
#include "panel/sources/met_norway_forecast.h"
#include "panel/sources/met_norway_memory.h"
#include "panel/sources/met_norway_symbols.h"
#include "panel/texts/utf16_text.h"
#include "panel/weather/wmo_weather.h"
#include "tests/panel/chinese_texts.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

QString MetRecording(const char* name) {
  QFile file(QStringLiteral(SKYVANE_SOURCE_DIR "/tests/data/met_norway/") + QLatin1String(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return QString::fromUtf8(file.readAll());
}

struct Column {
  std::string day;
  std::string weather;
  std::string icon;
  std::string temperature;
};

class MetNorwayForecastTest : public testing::Test {
 protected:
  MetNorwayForecastTest() { NewForm(); }

  // A fresh form, its columns as created.
  void NewForm() {
    SkyvaneOptions options;
    options.scale = TwipScale(kNominalTwipsPerPixel);
    form_ = std::make_unique<Skyvane>(options);
  }

  std::optional<RefreshStop> Show(const QString& body, const char* zone,
                                  WeatherLanguage language = WeatherLanguage::kEnglish) {
    const ForecastFetch fetch = [&] {
      const FetchResult fetched{body, QString(), 200, QStringLiteral("OK")};
      ConvertedForecast converted =
          ConvertMetNorwayForecast(fetched, QTimeZone(QByteArray(zone)), language);
      document_ = converted.document;
      return ForecastAnswer{FetchResult{converted.document, QString(), 200, QString()},
                            converted.first_day};
    };
    return RefreshForecast(fetch, QDate(2000, 1, 1),
                           IconFolder(QCoreApplication::applicationDirPath()), form_->Columns());
  }

  std::vector<Column> Shown() const {
    std::vector<Column> columns;
    for (int c = 0; c < kColumnCount; ++c) {
      const QString picture = form_->Image1(c)->PicturePath();
      columns.push_back(Column{form_->Label1(c)->Caption().toStdString(),
                               form_->Label2(c)->WholeText().toStdString(),
                               picture.isEmpty() ? "" : picture.section(u'/', -1).toStdString(),
                               form_->Label3(c)->Caption().toStdString()});
    }
    return columns;
  }

  void ExpectShown(const std::vector<Column>& want) const {
    const std::vector<Column> got = Shown();
    for (std::size_t c = 0; c < want.size(); ++c) {
      SCOPED_TRACE("column " + std::to_string(c));
      EXPECT_EQ(got[c].day, want[c].day);
      EXPECT_EQ(got[c].weather, want[c].weather);
      EXPECT_EQ(got[c].icon, want[c].icon);
      EXPECT_EQ(got[c].temperature, want[c].temperature);
    }
  }

  std::unique_ptr<Skyvane> form_;
  QString document_;
};

TEST(MetNorwaySymbolTest, TheTableHoldsEveryBaseCodeOnceWithKnownIcons) {
  const std::span<const MetNorwaySymbol> table = MetNorwaySymbolTable();
  EXPECT_EQ(table.size(), 41u);
  std::set<std::string_view> icons;
  for (const WmoWeather& weather : WmoWeatherTable()) icons.insert(weather.icon);
  for (std::size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(std::string(table[i].code));
    if (i > 0) {
      EXPECT_LT(table[i - 1].code, table[i].code);  // sorted, so no code twice
    }
    EXPECT_TRUE(icons.contains(table[i].weather.icon));
    EXPECT_STRNE(table[i].weather.brief.source, "");
    EXPECT_GE(table[i].severity, 0);
  }
  struct Case {
    const char* code;
    const char* english;
  };
  const Case cases[] = {
      {"lightssleetshowersandthunder_day", "Light sleet showers and thunder"},
      {"lightssnowshowersandthunder_polartwilight", "Light snow showers and thunder"},
      {"clearsky_night", "Clear sky"},
      {"heavysnowandthunder", "Heavy snow and thunder"},
      {"fog", "Fog"},
      {"rainshowers_sunny", "Rain showers"},
      {"lightrainshowers_day_x", "Light rain showers"},
      {"drizzle", "Unknown"},
      {"", "Unknown"},
      {"_day", "Unknown"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QString::fromUtf8(DescribeMetNorwaySymbol(QString::fromUtf8(c.code)).weather.english),
              QString::fromUtf8(c.english))
        << c.code;
  }
  // The written order: thunder > snow > sleet > rain > fog > cloud > clear,
  // heavy > plain > light within a kind.
  const char* const rising[] = {"clearsky",
                                "fair",
                                "partlycloudy",
                                "cloudy",
                                "fog",
                                "lightrain",
                                "rainshowers",
                                "heavyrain",
                                "lightsleet",
                                "sleet",
                                "heavysleetshowers",
                                "lightsnow",
                                "snow",
                                "heavysnow",
                                "lightrainandthunder",
                                "heavyrainandthunder",
                                "lightssleetshowersandthunder",
                                "heavysleetandthunder",
                                "lightssnowshowersandthunder",
                                "heavysnowshowersandthunder"};
  for (std::size_t i = 1; i < std::size(rising); ++i) {
    EXPECT_LT(DescribeMetNorwaySymbol(QString::fromUtf8(rising[i - 1])).severity,
              DescribeMetNorwaySymbol(QString::fromUtf8(rising[i])).severity)
        << rising[i];
  }
}

TEST(MetNorwayAddressTest, AsksForTheCompleteProductWithAtMostFourDecimals) {
  EXPECT_EQ(MetNorwayForecastAddress(QStringLiteral("https://api.met.no/"),
                                     GeoPlace{QString(), 52.524371, 13.41049}),
            QStringLiteral("https://api.met.no/weatherapi/locationforecast/2.0/complete?"
                           "lat=52.5244&lon=13.4105"));
  EXPECT_EQ(MetNorwayForecastAddress(QStringLiteral("http://127.0.0.1:8080/met"),
                                     GeoPlace{QString(), -33.86, -0.00001}),
            QStringLiteral("http://127.0.0.1:8080/met/weatherapi/locationforecast/2.0/complete?"
                           "lat=-33.86&lon=0"));
  EXPECT_EQ(MetNorwayDegreesText(10.0), QStringLiteral("10"));
  EXPECT_EQ(MetNorwayDegreesText(-179.99996), QStringLiteral("-180"));
}

TEST_F(MetNorwayForecastTest, DaysAreThePlacesOwnAtUtcPlusEightAndMinusFive) {
  struct Case {
    const char* recording;
    const char* zone;
    WeatherLanguage language;
    int stop_column;  // -1: the refresh ran to the end
    std::vector<Column> shown;
  };
  const Case cases[] = {
      // The first time, 1 June 18:00 UTC, is 2 June 02:00 in Shanghai.
      {"shanghai.json",
       "Asia/Shanghai",
       WeatherLanguage::kEnglish,
       -1,
       {
           // daytime light rain outranks cloud; the night's thunder is not daytime
           {"02号", "Light rain", "yu.gif", "19℃-31℃"},
           // a six-hour maximum of 33.5 and an instant 12.5; snow above heavy rain
           {"3号", "Snow showers", "xue.gif", "13℃-34℃"},
           // across the gap between hourly and six-hourly entries
           {"4号", "Light sleet showers and thunder", "lei.gif", "10℃-29℃"},
           // 02:00 local belongs here although it is the previous day in UTC
           {"5号", "Rain showers", "yu.gif", "15℃-28℃"},
           {"6号", "Fog", "wu.gif", "5℃-23℃"},
           {"7号", "Partly cloudy", "yun.gif", "21℃-23℃"},
           {"8号", "Light snow showers", "xue.gif", "21℃-23℃"},
       }},
      // A day without temperatures stops the refresh at its column.
      {"bogota.json",
       "America/Bogota",
       WeatherLanguage::kChinese,
       2,
       {
           // only night periods: the most severe of any hour
           {"30号", "大雪", "xue.gif", "8℃-10℃"},
           // the six-hour minimum -0.6 of the period starting at midnight
           {"1号", "阵雨夹雪", "yu.gif", "-1℃-12℃"},
           {"2号", "未知", "weizhi.gif", "Label3"},
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recording);
    NewForm();
    std::optional<ChineseTexts> chinese;
    if (c.language == WeatherLanguage::kChinese) chinese.emplace();
    const std::optional<RefreshStop> stop = Show(MetRecording(c.recording), c.zone, c.language);
    if (c.stop_column < 0) {
      EXPECT_EQ(stop, std::nullopt);
    } else {
      ASSERT_TRUE(stop.has_value());
      EXPECT_EQ(stop->column, c.stop_column);
      EXPECT_EQ(stop->number, ErrorNumber::kTypeMismatch);
    }
    ExpectShown(c.shown);
  }
  // Shanghai: one record per local day to that of the instant-only last entry.
  Show(MetRecording("shanghai.json"), "Asia/Shanghai");
  EXPECT_EQ(document_.count(QStringLiteral("\"tem1\"")), 9);
  EXPECT_TRUE(
      document_.endsWith(QString::fromUtf8(R"("tem1":"20℃","tem2":"20℃","tem_tone":"mild"}]})")))
      << document_.toStdString();
}

TEST_F(MetNorwayForecastTest, AnswersThatAreNoTimeSeriesStopWithTheirReason) {
  struct Case {
    const char* body;
    const char* reason;
  };
  const Case cases[] = {
      {R"({"type":"Feature","properties":{}})",
       "the answer of MET Norway has no \"properties\".\"timeseries\" list"},
      {R"({"properties":{"timeseries":[]}})", "the answer of MET Norway has an empty time series"},
      {R"({"properties":{"timeseries":[{"time":"yesterday","data":{}}]}})",
       "a time of MET Norway's forecast is not a date and time: \"yesterday\""},
      {R"({"properties":{"timeseries":[1]}})", "entry 1 of MET Norway's time series is no object"},
      {"<html>", "the answer of MET Norway is not JSON: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    const std::optional<RefreshStop> stop = Show(QString::fromUtf8(c.body), "Asia/Shanghai");
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->column, 0);
    EXPECT_TRUE(
        stop->reason.startsWith(QStringLiteral("fetch failed: ") + QString::fromUtf8(c.reason)))
        << stop->reason.toStdString();
  }
}

TEST(MetNorwayConvertTest, ADayWithoutEntriesIsTheLastRecord) {
  struct Case {
    const char* times;  // the entries' times, each an entry of its own
    int records;
  };
  const Case cases[] = {
      {R"("2026-12-01T12:00:00Z")", 1},
      {R"("2026-12-01T12:00:00Z","2026-12-02T12:00:00Z")", 2},
      // the empty 3rd ends it; the 4th is never shown
      {R"("2026-12-01T12:00:00Z","2026-12-02T12:00:00Z","2026-12-04T12:00:00Z")", 3},
      {R"("2026-12-01T12:00:00Z","2027-12-01T12:00:00Z")", 2},
      // times centuries apart make no millions of records
      {R"("0001-01-01T00:00:00Z","9999-12-30T00:00:00Z")", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.times);
    QString body = QStringLiteral("{\"properties\":{\"timeseries\":[");
    const QStringList times = QString::fromUtf8(c.times).split(u',');
    for (qsizetype i = 0; i < times.size(); ++i) {
      body += QStringLiteral("%1{\"time\":%2,\"data\":{}}").arg(i ? "," : "", times[i]);
    }
    body += QStringLiteral("]}}");
    const ConvertedForecast converted =
        ConvertMetNorwayForecast(FetchResult{body, QString(), 200, QStringLiteral("OK")},
                                 QTimeZone::utc(), WeatherLanguage::kEnglish);
    EXPECT_EQ(converted.document.count(QStringLiteral("\"tem1\"")), c.records);
  }
}

TEST(SourcePreferenceTest, ChoosesTheServiceAndTheFallbackForAPlace) {
  const GeoPlace place{QStringLiteral("Shanghai"), 31.22222, 121.45806};
  struct Case {
    SourcePreference preference;
    const char* met_norway_service;
    ForecastSource::Kind kind;
    bool falls_back;
  };
  const Case cases[] = {
      {SourcePreference::kAuto, "http://met", ForecastSource::Kind::kOpenMeteo, true},
      {SourcePreference::kOpenMeteo, "http://met", ForecastSource::Kind::kOpenMeteo, false},
      {SourcePreference::kMetNorway, "http://met", ForecastSource::Kind::kMetNorway, false},
      {SourcePreference::kAuto, "", ForecastSource::Kind::kOpenMeteo, false},
  };
  for (const Case& c : cases) {
    SourceChoice choice;
    choice.location = place;
    choice.forecast_service = QStringLiteral("http://om");
    choice.met_norway_service = QString::fromUtf8(c.met_norway_service);
    choice.preference = c.preference;
    const ForecastSource source = ChooseForecastSource(choice);
    SCOPED_TRACE(SourcePreferenceText(c.preference).toStdString());
    EXPECT_EQ(source.kind, c.kind);
    EXPECT_EQ(source.fallback_address.isEmpty(), !c.falls_back);
    if (c.kind == ForecastSource::Kind::kMetNorway || c.falls_back) {
      EXPECT_EQ(c.falls_back ? source.fallback_address : source.address,
                MetNorwayForecastAddress(QStringLiteral("http://met"), place));
    }
  }
  EXPECT_EQ(ReadSourcePreference(QStringLiteral("MET-Norway")), SourcePreference::kMetNorway);
  EXPECT_EQ(ReadSourcePreference(QStringLiteral("metno")), std::nullopt);
}

TEST_F(MetNorwayForecastTest, AutoFallsBackInTheSameRefreshAndSaysWhy) {
  ForecastSource source;
  source.kind = ForecastSource::Kind::kOpenMeteo;
  source.address = QStringLiteral("http://om/v1/forecast");
  source.fallback_address = QStringLiteral("http://met/complete");
  source.zone_id = QStringLiteral("Asia/Shanghai");
  struct Case {
    FetchResult open_meteo;
    const char* first_failure;
  };
  const Case cases[] = {
      {FetchResult{QStringLiteral("<html>"), QString(), 503, QStringLiteral("Service Unavailable")},
       "HTTP 503 Service Unavailable"},
      {FetchResult{QString(), QStringLiteral("Connection refused")}, "Connection refused"},
      {FetchResult{QStringLiteral("{\"daily\":{}}"), QString(), 200, QStringLiteral("OK")},
       "the answer of the forecast service has no daily \"time\" list"},
  };
  const QString met = MetRecording("shanghai.json");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first_failure);
    QStringList asked;
    SourceReport report;
    const std::optional<RefreshStop> stop = RefreshFromSource(
        source,
        [&](const QString& url) {
          asked << url;
          return url == source.address ? c.open_meteo
                                       : FetchResult{met, QString(), 200, QStringLiteral("OK")};
        },
        WeatherLanguage::kEnglish, QDate(2000, 1, 1),
        IconFolder(QCoreApplication::applicationDirPath()), form_->Columns(), nullptr, &report);
    EXPECT_EQ(stop, std::nullopt);
    EXPECT_EQ(asked, QStringList({source.address, source.fallback_address}));
    EXPECT_EQ(
        report.Text(),
        QStringLiteral("MET Norway (Open-Meteo: %1)").arg(QString::fromUtf8(c.first_failure)));
    EXPECT_EQ(Shown()[0].day, "02号");
  }
}

TEST(MetNorwayMemoryTest, KeepsTheTermsAndTrustsNoDamagedFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("cache/terms-met-norway.json"));
  const QDateTime now = QDateTime::fromString(QStringLiteral("2026-06-01T18:30:00Z"), Qt::ISODate);
  const MetNorwayMemory kept{QStringLiteral("http://met/complete?lat=1&lon=2"),
                             "Tue, 01 Jun 2026 18:00:00 GMT", now.addSecs(600), true,
                             QStringLiteral("{\"a\":\"\u00e9\\n\"}\n")};
  ASSERT_EQ(WriteMetNorwayMemory(path, kept), QString());
  const MetNorwayMemoryRead read = ReadMetNorwayMemory(path, now);
  ASSERT_TRUE(read.memory.has_value()) << read.problem.toStdString();
  EXPECT_EQ(read.memory->address, kept.address);
  EXPECT_EQ(read.memory->last_modified, kept.last_modified);
  EXPECT_EQ(read.memory->not_before, kept.not_before);
  EXPECT_TRUE(read.memory->after_refusal);
  EXPECT_EQ(read.memory->body, kept.body);
  EXPECT_EQ(ReadMetNorwayMemory(dir.filePath(QStringLiteral("none")), now).problem, QString());

  const QByteArray head = R"({"format":"skyvane met norway memory 1","address":"a",)";
  struct Case {
    QByteArray text;
    const char* why;
  };
  const Case cases[] = {
      {"{}", "it has no first line"},
      {"[1]\n{}", "its first line is no JSON object"},
      {R"({"format":"other"})"
       "\n",
       "it names another format"},
      {head + R"("last_modified":"","not_before":""})"
              "\n",
       "a member is missing or of the wrong type"},
      {head + R"("last_modified":"","not_before":"","after_refusal":"no"})"
              "\n",
       "a member is missing or of the wrong type"},
      {head + R"("last_modified":"x\r\nHost: evil","not_before":"","after_refusal":false})"
              "\n",
       "its Last-Modified is no header value"},
      // a damaged time must not stop the requests for long
      {head + R"("last_modified":"","not_before":"2099-01-01T00:00:00Z","after_refusal":true})"
              "\n",
       "its time \"2099-01-01T00:00:00Z\" is no time within a day"},
      {head + R"("last_modified":"","not_before":"soon","after_refusal":true})"
              "\n",
       "its time \"soon\" is no time within a day"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(c.text);
    file.close();
    const MetNorwayMemoryRead damaged = ReadMetNorwayMemory(path, now);
    EXPECT_FALSE(damaged.memory.has_value());
    EXPECT_TRUE(damaged.problem.endsWith(QString::fromUtf8(c.why)))
        << damaged.problem.toStdString();
  }
}

}  // namespace
}  // namespace skyvane
