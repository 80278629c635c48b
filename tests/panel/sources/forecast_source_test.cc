// Choosing where the forecast comes from: the order of --url, --location,
// the saved place, the built-in service and the time zone; reading the saved
// place; and the stop when there is no source.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

#include "panel/controls/icon_path.h"
#include "panel/places/saved_place.h"
#include "panel/places/zone_reference.h"
#include "panel/skyvane_form.h"
#include "panel/sources/forecast_source.h"
#include "panel/sources/open_meteo_forecast.h"
#include "tests/panel/chinese_texts.h"
#include "tests/panel/sources/recordings.h"

namespace skyvane {
namespace {

using Kind = ForecastSource::Kind;

const QString kService = QStringLiteral("http://127.0.0.1:9");
const QString kUnsetBuiltIn = QStringLiteral("http://weather.example.invalid/api?version=v1");
const QString kSetBuiltIn = QStringLiteral("http://weather.example.com/api?version=v1");
const GeoPlace kRome{QStringLiteral("Rome, Lazio, Italy"), 41.89193, 12.51133};
const GeoPlace kOslo{QStringLiteral("Oslo, Norway"), 59.91273, 10.74609};

class SourceChoiceTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tzdata_.isValid());
    QFile table(QDir(tzdata_.path()).filePath(QLatin1String(kZone1970Table)));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("DE\t+5230+01322\tEurope/Berlin\n");
    table.close();
    choice_.built_in_address = kUnsetBuiltIn;
    choice_.forecast_service = kService;
    choice_.zone_id = QStringLiteral("Europe/Berlin");
    choice_.tzdata_folder = tzdata_.path();
  }

  QTemporaryDir tzdata_;
  SourceChoice choice_;
};

TEST_F(SourceChoiceTest, FirstThatAppliesWins) {
  // Everything given: --url first.
  choice_.url = QStringLiteral("file:///tmp/forecast.json");
  choice_.location = kRome;
  choice_.saved.place = kOslo;
  choice_.built_in_address = kSetBuiltIn;
  ForecastSource source = ChooseForecastSource(choice_);
  EXPECT_EQ(source.kind, Kind::kPanelDocument);
  EXPECT_EQ(source.address, QStringLiteral("file:///tmp/forecast.json"));
  EXPECT_EQ(source.Name(), source.address);

  choice_.url.reset();
  source = ChooseForecastSource(choice_);
  EXPECT_EQ(source.kind, Kind::kOpenMeteo);
  EXPECT_EQ(source.Name(), kRome.name);
  EXPECT_EQ(source.address, OpenMeteoForecastAddress(kService, kRome));

  choice_.location.reset();
  source = ChooseForecastSource(choice_);
  EXPECT_EQ(source.kind, Kind::kOpenMeteo);
  EXPECT_EQ(source.Name(), kOslo.name);
  EXPECT_EQ(source.address, OpenMeteoForecastAddress(kService, kOslo));

  choice_.saved.place.reset();
  source = ChooseForecastSource(choice_);
  EXPECT_EQ(source.kind, Kind::kPanelDocument);
  EXPECT_EQ(source.address, kSetBuiltIn);

  choice_.built_in_address = kUnsetBuiltIn;
  source = ChooseForecastSource(choice_);
  EXPECT_EQ(source.kind, Kind::kOpenMeteo);
  EXPECT_EQ(source.Name(), QStringLiteral("Berlin (Europe/Berlin)"));
  EXPECT_EQ(source.address,
            OpenMeteoForecastAddress(kService, GeoPlace{QString(), 52.5, 22.0 / 60 + 13}));
}

TEST_F(SourceChoiceTest, AnEmptyUrlIsStillTheUrlsSource) {
  choice_.url = QString();
  EXPECT_EQ(ChooseForecastSource(choice_).kind, Kind::kPanelDocument);
}

TEST_F(SourceChoiceTest, WithoutAPlaceTheProblemTellsTheUserToChooseOne) {
  struct Case {
    const char* zone;
    bool tables;
    const char* problem;
  };
  const Case cases[] = {
      {"Etc/UTC", true, "the time zone \"Etc/UTC\" names no place to show the weather of"},
      {"", true, "the system time zone is unknown"},
      {"Europe/Berlin", false, "no time-zone table "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    choice_.zone_id = QString::fromLatin1(c.zone);
    choice_.tzdata_folder = c.tables ? tzdata_.path() : tzdata_.path() + QStringLiteral("/none");
    const ForecastSource source = ChooseForecastSource(choice_);
    EXPECT_EQ(source.kind, Kind::kNone);
    EXPECT_TRUE(source.Name().isEmpty());
    EXPECT_TRUE(source.problem.startsWith(QString::fromLatin1(c.problem)))
        << source.problem.toStdString();
    EXPECT_TRUE(source.problem.endsWith(
        QStringLiteral("; start once with --location PLACE (a place name, or LAT,LON) to choose "
                       "a place")))
        << source.problem.toStdString();
  }
}

TEST_F(SourceChoiceTest, AnUnreadableSavedPlaceIsNotReplacedSilently) {
  choice_.saved =
      ReadSavedPlace(QStringLiteral("Oslo"), QStringLiteral("north"), QStringLiteral("10.7"));
  const ForecastSource source = ChooseForecastSource(choice_);
  EXPECT_EQ(source.kind, Kind::kNone);
  EXPECT_TRUE(source.problem.startsWith(
      QStringLiteral("the saved place has no usable coordinates (latitude \"north\", longitude "
                     "\"10.7\")")))
      << source.problem.toStdString();
}

TEST(BuiltInServiceTest, IsSetUnlessItsHostNeverAnswers) {
  EXPECT_FALSE(BuiltInServiceIsSet(kUnsetBuiltIn));
  EXPECT_FALSE(BuiltInServiceIsSet(QStringLiteral("http://weather.invalid/api")));
  EXPECT_FALSE(BuiltInServiceIsSet(QStringLiteral("http:///api")));
  EXPECT_TRUE(BuiltInServiceIsSet(kSetBuiltIn));
  EXPECT_TRUE(BuiltInServiceIsSet(QStringLiteral("http://10.0.0.5/api?version=v1")));
  EXPECT_TRUE(BuiltInServiceIsSet(QStringLiteral("http://invalid.example.com/api")));
}

TEST(SavedPlaceTest, ReadsThreeTexts) {
  struct Case {
    const char* location;
    const char* latitude;
    const char* longitude;
    const char* zone;
    bool place;
    const char* name;
    bool problem;
    const char* zone_id;
    bool zone_problem;
  };
  const Case cases[] = {
      {"", "", "", "", false, "", false, "", false},
      {"Berlin, Germany", "", "", "", false, "", false, "", false},
      {"Berlin, Germany", "52.52437", "13.41053", "", true, "Berlin, Germany", false, "", false},
      {"", "52.52", "13.41", "", true, "52.52,13.41", false, "", false},
      {"X", " 52.52 ", "13.41", "", true, "X", false, "", false},
      {"X", "52.52", "", "", false, "", true, "", false},
      {"X", "95", "13.41", "", false, "", true, "", false},
      {"X", "52,52", "13.41", "", false, "", true, "", false},
      {"X", "nan", "13.41", "", false, "", true, "", false},
      // the kept zone: known, blanks around, unknown (the system's applies)
      {"X", "31.2", "121.5", "Asia/Shanghai", true, "X", false, "Asia/Shanghai", false},
      {"X", "31.2", "121.5", " Asia/Shanghai ", true, "X", false, "Asia/Shanghai", false},
      {"X", "31.2", "121.5", "Mars/Olympus", true, "X", false, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.location) + "|" + c.latitude + "|" + c.longitude);
    const SavedPlace saved =
        ReadSavedPlace(QString::fromUtf8(c.location), QString::fromUtf8(c.latitude),
                       QString::fromUtf8(c.longitude), QString::fromUtf8(c.zone));
    EXPECT_EQ(saved.place.has_value(), c.place);
    EXPECT_EQ(!saved.problem.isEmpty(), c.problem);
    EXPECT_EQ(!saved.zone_problem.isEmpty(), c.zone_problem) << saved.zone_problem.toStdString();
    if (saved.place) {
      EXPECT_EQ(saved.place->name, QString::fromUtf8(c.name));
      EXPECT_EQ(saved.place->zone_id, QString::fromUtf8(c.zone_id));
    }
  }
}

TEST(SavedPlaceTest, KeepsAndForgetsTheThreeKeysAndNothingElse) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath(QStringLiteral("Skyvane.conf"));
  QFile existing(file);
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.write("; mine\n[set]\nformX=300\nformY=400\n");
  existing.close();

  SettingsStore settings(file);
  ASSERT_TRUE(SavePlace(settings, GeoPlace{QStringLiteral("Berlin, Germany"), 52.52437, -0.0,
                                           QStringLiteral("Europe/Berlin")}));
  const SavedPlace kept = ReadSavedPlace(settings);
  ASSERT_TRUE(kept.place.has_value());
  EXPECT_EQ(kept.place->zone_id, QStringLiteral("Europe/Berlin"));
  EXPECT_EQ(kept.place->name, QStringLiteral("Berlin, Germany"));
  EXPECT_DOUBLE_EQ(kept.place->latitude, 52.52437);
  EXPECT_EQ(settings.Read(QLatin1String(kLongitudeKey)), QStringLiteral("0"));
  EXPECT_EQ(settings.Read(QStringLiteral("formX")), QStringLiteral("300"));

  ASSERT_TRUE(ForgetPlace(settings));
  const SavedPlace forgotten = ReadSavedPlace(settings);
  EXPECT_FALSE(forgotten.place.has_value());
  EXPECT_TRUE(forgotten.problem.isEmpty());
  for (const char* key : {kLocationKey, kLatitudeKey, kLongitudeKey, kTimeZoneKey}) {
    EXPECT_TRUE(settings.Read(QLatin1String(key)).isEmpty()) << key;
  }
  EXPECT_EQ(settings.Read(QStringLiteral("formY")), QStringLiteral("400"));
  QFile after(file);
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_TRUE(after.readAll().startsWith("; mine\n[set]\nformX=300\nformY=400\n"));
}

TEST(FormSourceTest, LoadShowsTheSavedPlaceAndNamesItsSource) {
  const ChineseTexts chinese;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // A service on disk: file addresses ignore the query.
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("om/v1")));
  QFile answer(dir.filePath(QStringLiteral("om/v1/forecast")));
  ASSERT_TRUE(answer.open(QIODevice::WriteOnly));
  answer.write(Recording("forecast-berlin.json").toUtf8());
  answer.close();
  SettingsStore settings(dir.filePath(QStringLiteral("Skyvane.conf")));
  ASSERT_TRUE(SavePlace(settings, kOslo));

  SkyvaneOptions options;
  options.scale = TwipScale(kNominalTwipsPerPixel);
  options.position_file = settings.FileName();
  options.services.forecast = QUrl::fromLocalFile(dir.filePath(QStringLiteral("om"))).toString();
  options.language_code = QStringLiteral("zh");
  Skyvane form(options);
  testing::internal::CaptureStderr();
  form.Form_Load();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(form.Source().kind, Kind::kOpenMeteo);
  EXPECT_EQ(form.Source().Name(), kOslo.name);
  EXPECT_EQ(form.Label1(0)->Caption(), QStringLiteral("29号"));
  EXPECT_EQ(form.Label2(0)->Caption(), QStringLiteral("晴"));
  EXPECT_EQ(form.Label3(6)->Caption(), QStringLiteral("-4℃-3℃"));
}

TEST(NoSourceTest, StopsAtColumnZeroWithoutFetching) {
  SkyvaneOptions options;
  options.scale = TwipScale(kNominalTwipsPerPixel);
  Skyvane form(options);
  const std::vector<ControlState> before = form.ControlStates();
  ForecastSource source;
  source.problem = QStringLiteral("no place");
  bool fetched = false;
  const std::optional<RefreshStop> stop = RefreshFromSource(
      source,
      [&](const QString&) {
        fetched = true;
        return FetchResult{};
      },
      WeatherLanguage::kEnglish, QDate(2026, 1, 1),
      IconFolder(QCoreApplication::applicationDirPath()), form.Columns());
  ASSERT_TRUE(stop.has_value());
  EXPECT_EQ(stop->column, 0);
  EXPECT_EQ(stop->reason, QStringLiteral("no place"));
  EXPECT_FALSE(fetched);
  const std::vector<ControlState> after = form.ControlStates();
  for (std::size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].caption, before[i].caption);
}

}  // namespace
}  // namespace skyvane
