// Temperatures in the user's unit: the exact conversion and its rounding,
// the colour decided on the whole value, the unit an answer names, and
// recorded answers through the one refresh into the columns (a °F answer
// to a Celsius request, Fahrenheit captions and colours, day captions by
// language).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>
#include <string>

#include "json/decimal.h"
#include "panel/controls/icon_path.h"
#include "panel/skyvane_form.h"
#include "panel/sources/forecast_source.h"
#include "panel/weather/temperature_unit.h"
#include "tests/panel/sources/recordings.h"

namespace skyvane {
namespace {

constexpr TemperatureUnit kC = TemperatureUnit::kCelsius;
constexpr TemperatureUnit kF = TemperatureUnit::kFahrenheit;

TEST(TemperatureUnitTest, ConvertsExactlyAndRoundsHalfAwayFromZero) {
  struct Case {
    const char* value;
    TemperatureUnit from;
    TemperatureUnit to;
    long long whole;
  };
  const Case cases[] = {
      // Fahrenheit answers shown in Celsius.
      {"48", kF, kC, 9},  // 8.88…
      {"59", kF, kC, 15},
      {"60", kF, kC, 16},  // 15.55…
      {"76", kF, kC, 24},  // 24.44…
      {"77", kF, kC, 25},
      {"31.1", kF, kC, -1},  // exactly -0.5: away from zero
      {"32.9", kF, kC, 1},   // exactly 0.5
      {"31.2", kF, kC, 0},   // -0.44…, shown without a sign
      {"-40", kF, kC, -40},
      {"122", kF, kC, 50},
      {"-459.67", kF, kC, -273},
      // Celsius answers shown in Fahrenheit.
      {"15", kC, kF, 59},
      {"25", kC, kF, 77},
      {"-17.5", kC, kF, 1},    // exactly 0.5
      {"-18.5", kC, kF, -1},   // exactly -1.3 → -1
      {"-12.5", kC, kF, 10},   // exactly 9.5
      {"-20.25", kC, kF, -4},  // exactly -4.45
      {"-40", kC, kF, -40},
      {"50", kC, kF, 122},
      {"0.0000000000000000000000000001", kC, kF, 32},
      // The same unit: only the rounding.
      {"76.5", kF, kF, 77},
      {"-0.5", kC, kC, -1},
      {"-0.4", kC, kC, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WholeDegrees(Decimal::FromText(std::string_view(c.value)), c.from, c.to), c.whole)
        << c.value << (c.from == kF ? " °F" : " °C");
  }
}

TEST(TemperatureUnitTest, ColoursOnTheWholeValueAndReadsTheAnswersUnit) {
  struct Tone {
    long long degrees;
    TemperatureUnit unit;
    TemperatureTone tone;
  };
  const Tone tones[] = {
      {59, kF, TemperatureTone::kCold}, {60, kF, TemperatureTone::kMild},
      {76, kF, TemperatureTone::kMild}, {77, kF, TemperatureTone::kHot},
      {100, kF, TemperatureTone::kHot}, {-5, kF, TemperatureTone::kCold},
      {15, kC, TemperatureTone::kCold}, {16, kC, TemperatureTone::kMild},
      {24, kC, TemperatureTone::kMild}, {25, kC, TemperatureTone::kHot},
  };
  for (const Tone& t : tones) EXPECT_EQ(ToneOf(t.degrees, t.unit), t.tone) << t.degrees;

  EXPECT_EQ(UnitOfAnswer(QStringLiteral("°F")), kF);
  EXPECT_EQ(UnitOfAnswer(QStringLiteral("℉")), kF);
  EXPECT_EQ(UnitOfAnswer(QStringLiteral(" fahrenheit")), kF);
  EXPECT_EQ(UnitOfAnswer(QStringLiteral("°C")), kC);
  EXPECT_EQ(UnitOfAnswer(QStringLiteral("K")), std::nullopt);
  EXPECT_EQ(UnitNamed(QStringLiteral("Fahrenheit")), kF);
  EXPECT_EQ(UnitNamed(QString()), std::nullopt);
  EXPECT_EQ(UnitOfLocale(QLocale(QStringLiteral("en_US"))), kF);
  EXPECT_EQ(UnitOfLocale(QLocale(QStringLiteral("en_GB"))), kC);
  EXPECT_EQ(UnitOfLocale(QLocale(QStringLiteral("zh_CN"))), kC);
}

class ShownUnitTest : public testing::Test {
 protected:
  ShownUnitTest() {
    SkyvaneOptions options;
    options.scale = TwipScale(kNominalTwipsPerPixel);
    form_ = std::make_unique<Skyvane>(options);
  }

  // Refreshes the form from an Open-Meteo source that answers `body`.
  std::optional<RefreshStop> Show(const QString& body, const ForecastShowing& showing) {
    ForecastSource source;
    source.kind = ForecastSource::Kind::kOpenMeteo;
    source.address = QStringLiteral("http://127.0.0.1:9/v1/forecast");
    return RefreshFromSource(
        source,
        [&](const QString&) {
          return FetchResult{body, QString(), 200, "OK"};
        },
        showing, QDate(2000, 1, 1), IconFolder(QCoreApplication::applicationDirPath()),
        form_->Columns());
  }

  std::string Column(int c) const {
    return (form_->Label1(c)->Caption() + u'|' + form_->Label3(c)->Caption()).toStdString();
  }

  std::unique_ptr<Skyvane> form_;
};

ForecastShowing Showing(WeatherLanguage language, TemperatureUnit unit, const char* locale) {
  ForecastShowing showing;
  showing.language = language;
  showing.unit = unit;
  showing.locale = QLocale(QString::fromLatin1(locale));
  return showing;
}

TEST_F(ShownUnitTest, AFahrenheitAnswerToACelsiusRequestIsConverted) {
  const QString toronto = Recording("forecast-toronto-fahrenheit.json");
  ASSERT_EQ(Show(toronto, Showing(WeatherLanguage::kEnglish, kC, "en_GB")), std::nullopt);
  const char* const celsius[] = {"Wed 9|1℃-9℃",    "Thu 10|-1℃-5℃",   "Fri 11|-3℃-2℃",
                                 "Sat 12|-6℃--1℃", "Sun 13|-10℃--2℃", "Mon 14|4℃-10℃",
                                 "Tue 15|0℃-7℃"};
  for (int c = 0; c < kColumnCount; ++c) EXPECT_EQ(Column(c), celsius[c]) << c;

  // Asked in Fahrenheit, the same answer is shown as it is.
  ASSERT_EQ(Show(toronto, Showing(WeatherLanguage::kEnglish, kF, "en_US")), std::nullopt);
  EXPECT_EQ(Column(0), "Wed 9|34℉-48℉");
  EXPECT_EQ(Column(3), "Sat 12|21℉-31℉");

  // Under Chinese the days keep their captions.
  ASSERT_EQ(Show(toronto, Showing(WeatherLanguage::kChinese, kC, "zh_CN")), std::nullopt);
  EXPECT_EQ(Column(0), "09号|1℃-9℃");
  EXPECT_EQ(Column(1), "10号|-1℃-5℃");
}

TEST_F(ShownUnitTest, FahrenheitColoursFollowTheWholeMinimum) {
  // Minima around both limits; the captions' first two characters ("59",
  // "60", "76", "77", "10") would read otherwise for 100 ℉ and more.
  const QString answer = QStringLiteral(
      R"({"daily_units":{"temperature_2m_max":"°F","temperature_2m_min":"°F"},)"
      R"("daily":{"time":["2026-07-01","2026-07-02","2026-07-03","2026-07-04","2026-07-05",)"
      R"("2026-07-06","2026-07-07"],"weather_code":[0,0,0,0,0,0,0],)"
      R"("temperature_2m_max":[70,70,80,90,110,80,20],)"
      R"("temperature_2m_min":[59,60,76,77,101,76.5,-12.4]}})");
  for (int c = 0; c < kColumnCount; ++c) form_->Label3(c)->SetForeColor(kBgrBlack);
  ASSERT_EQ(Show(answer, Showing(WeatherLanguage::kEnglish, kF, "en_US")), std::nullopt);
  const BgrColor want[] = {kColdColor, kBgrBlack, kBgrBlack, kHotColor,
                           kHotColor,  kHotColor, kColdColor};
  for (int c = 0; c < kColumnCount; ++c) {
    EXPECT_EQ(form_->Label3(c)->ForeColor(), want[c]) << Column(c);
  }
  EXPECT_EQ(Column(5), "Mon 6|77℉-80℉");
  EXPECT_EQ(Column(6), "Tue 7|-12℉-20℉");
}

TEST_F(ShownUnitTest, AnUnknownUnitStopsTheRefreshInsteadOfShowingWrongDegrees) {
  QString kelvin = Recording("forecast-toronto-fahrenheit.json");
  kelvin.replace(QStringLiteral("\"temperature_2m_min\":\"°F\""),
                 QStringLiteral("\"temperature_2m_min\":\"K\""));
  const std::optional<RefreshStop> stop =
      Show(kelvin, Showing(WeatherLanguage::kEnglish, kC, "en_GB"));
  ASSERT_TRUE(stop.has_value());
  EXPECT_EQ(stop->column, 0);
  EXPECT_NE(stop->reason.indexOf(QStringLiteral("unknown unit: \"K\"")), -1)
      << stop->reason.toStdString();
}

}  // namespace
}  // namespace skyvane
