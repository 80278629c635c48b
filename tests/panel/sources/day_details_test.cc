// The day details read from a recorded Open-Meteo answer with nulls and a
// short hourly list, and from answers too broken to read: what each day's
// popup would show, as --dump-details writes it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>
#include <vector>

#include "panel/controls/icon_path.h"
#include "panel/skyvane_form.h"
#include "panel/sources/day_details.h"
#include "panel/sources/forecast_source.h"
#include "tests/panel/sources/recordings.h"

namespace skyvane {
namespace {

std::string Hours(const char* first, int nulls) {
  std::string out = "[";
  out += first;
  for (int i = 0; i < nulls; ++i) out += std::string(out.size() > 1 ? "," : "") + "null";
  return out + "]";
}

TEST(DayDetailsTest, ReadsEveryDayWithNullsAndAShortHourlyListAsAbsent) {
  const std::vector<DayDetails> days = ReadDayDetails(
      FetchResult{Recording("forecast-details.json"), QString()}, WeatherLanguage::kEnglish);
  ASSERT_EQ(days.size(), 7U);
  const std::string units = R"("units":{"temperature":"°C","wind":"km/h","precipitation":"mm"}})";
  struct Case {
    int day;
    std::string json;
  };
  const Case cases[] = {
      // A whole day of hours, one of them null: a gap, not a zero.
      {0, R"({"day":0,"date":"2026-05-29","weather":"Light showers","weather_code":80,)"
          R"("temperature_max":24.5,"temperature_min":14.6,"feels_like_max":23.9,)"
          R"("feels_like_min":13,"precipitation_chance_max":70,"precipitation_sum":1.8,)"
          R"("wind_speed_max":12.3,"wind_direction":270,"wind_compass":"W",)"
          R"("sunrise":"04:51","sunset":"21:15","hourly_temperature":[14.6,14.2,13.9,13.5,)"
          R"(13.4,null,15,16.3,17.8,19.2,20.5,21.6,22.6,23.4,24,24.5,24.3,23.6,22.4,21,19.3,)"
          R"(17.9,16.8,15.9],"hourly_precipitation_chance":[0,0,0,0,0,0,0,0,0,0,5,10,20,35,)"
          R"(55,70,60,40,25,10,5,0,0,0],)" +
              units},
      // The hourly lists end early, the temperatures before the chances.
      {1, R"({"day":1,"date":"2026-05-30","weather":"Partly cloudy","weather_code":2,)"
          R"("temperature_max":27.3,"temperature_min":15,"feels_like_max":27,)"
          R"("feels_like_min":14.2,"precipitation_chance_max":10,"precipitation_sum":0.2,)"
          R"("wind_speed_max":18,"wind_direction":45,"wind_compass":"NE",)"
          R"("sunrise":"04:50","sunset":"21:16","hourly_temperature":)" +
              Hours("15.4,15.1,15,15.2,null,16.9", 18) + R"(,"hourly_precipitation_chance":)" +
              Hours("0,0,5,10,10,null,5,0,0,0,0,0", 12) + "," + units},
      // No hours at all: the other details stay.
      {2, R"({"day":2,"date":"2026-05-31","weather":"Overcast","weather_code":3,)"
          R"("temperature_max":21,"temperature_min":16.2,"feels_like_max":20.1,)"
          R"("feels_like_min":15.1,"precipitation_chance_max":35,"precipitation_sum":1.4,)"
          R"("wind_speed_max":22.7,"wind_direction":190,"wind_compass":"S",)"
          R"("sunrise":"04:49","sunset":"21:18","hourly_temperature":)" +
              Hours("", 24) + R"(,"hourly_precipitation_chance":)" + Hours("", 24) + "," + units},
      // Every detail null: absent, while the columns' values are there.
      {4, R"({"day":4,"date":"2026-06-02","weather":"Thunderstorm","weather_code":95,)"
          R"("temperature_max":30,"temperature_min":25.1,"feels_like_max":null,)"
          R"("feels_like_min":null,"precipitation_chance_max":null,"precipitation_sum":null,)"
          R"("wind_speed_max":null,"wind_direction":null,"wind_compass":null,)"
          R"("sunrise":null,"sunset":null,"hourly_temperature":)" +
              Hours("", 24) + R"(,"hourly_precipitation_chance":)" + Hours("", 24) + "," + units},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.day);
    EXPECT_EQ(DayDetailsJson(days[static_cast<std::size_t>(c.day)], c.day), c.json);
  }
  EXPECT_EQ(days[0].utc_offset_seconds, 7200);
  EXPECT_TRUE(days[1].HasHourlyTemperatures());
  EXPECT_FALSE(days[2].HasHourlyTemperatures());
}

TEST(DayDetailsTest, UnreadableAnswersGiveNoDetailsAndUnitsFollowTheAnswer) {
  for (const char* body : {"<html>", "[1]", R"({"error":true,"reason":"no"})", R"({"daily":5})",
                           R"({"daily":{"weather_code":[1]}})"}) {
    SCOPED_TRACE(body);
    EXPECT_TRUE(
        ReadDayDetails(FetchResult{QString::fromUtf8(body), QString()}, WeatherLanguage::kEnglish)
            .empty());
  }
  const std::vector<DayDetails> days = ReadDayDetails(
      FetchResult{QStringLiteral(R"({"daily_units":{"temperature_2m_max":"°F",)"
                                 R"("wind_speed_10m_max":"mp/h","precipitation_sum":"inch"},)"
                                 R"("daily":{"time":["2026-01-01"],"sunrise":["bad"]},)"
                                 R"("hourly":{"time":["2026-01-01T07:00","2026-01-01T07:30"],)"
                                 R"("temperature_2m":[30.2,99]}})"),
                  QString()},
      WeatherLanguage::kEnglish);
  ASSERT_EQ(days.size(), 1U);
  EXPECT_EQ(days[0].temperature_unit, QStringLiteral("°F"));
  EXPECT_EQ(days[0].wind_unit, QStringLiteral("mp/h"));
  EXPECT_EQ(days[0].precipitation_unit, QStringLiteral("inch"));
  EXPECT_FALSE(days[0].sunrise.has_value());
  EXPECT_EQ(days[0].hourly_temperature[7]->ToAscii(), "30.2");  // the half hour is not an hour
  EXPECT_EQ(days[0].weather_text, QStringLiteral("Unknown"));
}

TEST(DayDetailsTest, CompassPoints) {
  const std::pair<double, const char*> cases[] = {
      {0, "N"},      {22.4, "N"},  {22.5, "NE"}, {90, "E"},   {180, "S"}, {250, "W"},
      {337.4, "NW"}, {337.5, "N"}, {360, "N"},   {-45, "NW"}, {765, "NE"}};
  for (const auto& [degrees, point] : cases) {
    EXPECT_STREQ(CompassPoint(degrees), point) << degrees;
  }
}

// A refresh hands its details on; the panel's own document has none.
TEST(DayDetailsTest, RefreshFromSourceReadsDetailsOnlyForOpenMeteo) {
  SkyvaneOptions options;
  options.scale = TwipScale(kNominalTwipsPerPixel);
  Skyvane form(options);
  const QString icons = IconFolder(QCoreApplication::applicationDirPath());
  ForecastSource source;
  source.kind = ForecastSource::Kind::kOpenMeteo;
  source.address = QStringLiteral("http://127.0.0.1:9/v1/forecast");
  const QString answer = Recording("forecast-details.json");
  const TextFetch fetch = [&](const QString&) { return FetchResult{answer, QString()}; };
  std::vector<DayDetails> details;
  EXPECT_FALSE(RefreshFromSource(source, fetch, WeatherLanguage::kEnglish, QDate(2026, 5, 29),
                                 icons, form.Columns(), nullptr, nullptr, &details)
                   .has_value());
  EXPECT_EQ(details.size(), 7U);
  source.kind = ForecastSource::Kind::kPanelDocument;
  RefreshFromSource(source, fetch, WeatherLanguage::kEnglish, QDate(2026, 5, 29), icons,
                    form.Columns(), nullptr, nullptr, &details);
  EXPECT_TRUE(details.empty());
}

}  // namespace
}  // namespace skyvane
