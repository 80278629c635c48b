// The WMO weather table: every code Open-Meteo documents, its icon and its
// texts in both languages with their short forms, and the neutral weather
// of any other code.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <set>
#include <string>

#include "panel/controls/icon_path.h"
#include "panel/weather/wmo_weather.h"
#include "tests/panel/chinese_texts.h"

namespace skyvane {
namespace {

QString Q(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

struct DocumentedCode {
  int code;
  const char* icon;
  // Texts the panel must show for the code; nullptr where any text of the
  // kind (non-empty, distinct from the unknown weather's) will do.
  const char* chinese;
  const char* english;
};

// Open-Meteo's list of WMO codes, with the icon each group takes and the
// texts named for it.
constexpr DocumentedCode kDocumented[] = {
    {0, "qing", "晴", "Clear"},
    {1, "qing", "晴", nullptr},
    {2, "yun", "多云", "Partly cloudy"},
    {3, "yin", "阴", "Overcast"},
    {45, "wu", "雾", "Fog"},
    {48, "wu", "雾", nullptr},
    {51, "yu", nullptr, nullptr},
    {53, "yu", nullptr, nullptr},
    {55, "yu", nullptr, nullptr},
    {56, "yu", nullptr, nullptr},
    {57, "yu", nullptr, nullptr},
    {61, "yu", "小雨", "Light rain"},
    {63, "yu", "中雨", "Rain"},
    {65, "yu", "大雨", "Heavy rain"},
    {66, "yu", "冻雨", "Freezing rain"},
    {67, "yu", "冻雨", nullptr},
    {71, "xue", "小雪", "Light snow"},
    {73, "xue", "中雪", "Snow"},
    {75, "xue", "大雪", "Heavy snow"},
    {77, "xue", nullptr, nullptr},
    {80, "yu", nullptr, nullptr},
    {81, "yu", "阵雨", "Showers"},
    {82, "yu", nullptr, nullptr},
    {85, "xue", "阵雪", "Snow showers"},
    {86, "xue", nullptr, nullptr},
    {95, "lei", "雷阵雨", "Thunderstorm"},
    {96, "bingbao", nullptr, "Thunderstorm, hail"},
    {99, "bingbao", nullptr, nullptr},
};

TEST(WmoWeatherTest, EveryDocumentedCodeHasItsIconAndTexts) {
  const ChineseTexts translated;
  // The column's short forms: one word in English, the whole text in Chinese.
  const std::set<QString> english_briefs{"Clear", "Cloudy",  "Overcast", "Fog",   "Drizzle",
                                         "Rain",  "Showers", "Snow",     "Storm", "Hail"};
  for (const DocumentedCode& documented : kDocumented) {
    SCOPED_TRACE(documented.code);
    const WmoWeather& weather = DescribeWmoCode(documented.code);
    EXPECT_EQ(weather.code, documented.code);
    EXPECT_EQ(Q(weather.icon), QLatin1String(documented.icon));
    const QString chinese = weather.Text(WeatherLanguage::kChinese);
    const QString english = weather.Text(WeatherLanguage::kEnglish);
    EXPECT_NE(chinese, kUnknownWeather.Text(WeatherLanguage::kChinese));
    EXPECT_NE(english, kUnknownWeather.Text(WeatherLanguage::kEnglish));
    EXPECT_NE(chinese, english);
    EXPECT_EQ(weather.Brief(WeatherLanguage::kChinese), chinese);
    EXPECT_TRUE(english_briefs.contains(weather.Brief(WeatherLanguage::kEnglish)));
    EXPECT_FALSE(chinese.isEmpty());
    EXPECT_FALSE(english.isEmpty());
    if (documented.chinese) {
      EXPECT_EQ(chinese, QString::fromUtf8(documented.chinese));
    }
    if (documented.english) {
      EXPECT_EQ(english, QString::fromUtf8(documented.english));
    }
  }
  EXPECT_EQ(WmoWeatherTable().size(), std::size(kDocumented));
}

TEST(WmoWeatherTest, NoTwoCodesReadTheSameInEnglish) {
  std::set<QString> english;
  for (const WmoWeather& weather : WmoWeatherTable()) {
    EXPECT_TRUE(english.insert(weather.Text(WeatherLanguage::kEnglish)).second) << weather.code;
  }
}

TEST(WmoWeatherTest, TableIsInCodeOrderSoThatEveryCodeIsFound) {
  const auto table = WmoWeatherTable();
  for (std::size_t i = 1; i < table.size(); ++i) {
    EXPECT_LT(table[i - 1].code, table[i].code) << i;
  }
  for (const WmoWeather& weather : table) {
    EXPECT_EQ(&DescribeWmoCode(weather.code), &weather);
  }
}

TEST(WmoWeatherTest, OtherCodesAndMissingCodesGetTheNeutralWeather) {
  for (const std::optional<int> code :
       {std::optional<int>(), std::optional<int>(-1), std::optional<int>(4), std::optional<int>(44),
        std::optional<int>(50), std::optional<int>(100), std::optional<int>(1000)}) {
    EXPECT_EQ(&DescribeWmoCode(code), &kUnknownWeather) << code.value_or(-999);
  }
  const ChineseTexts translated;
  EXPECT_EQ(kUnknownWeather.Text(WeatherLanguage::kEnglish), QStringLiteral("Unknown"));
  EXPECT_EQ(kUnknownWeather.Text(WeatherLanguage::kChinese), QStringLiteral("未知"));
}

TEST(WmoWeatherTest, EveryIconShipsWithTheProgram) {
  const QString folder = IconFolder(QCoreApplication::applicationDirPath());
  std::set<QString> icons{Q(kUnknownWeather.icon)};
  for (const WmoWeather& weather : WmoWeatherTable()) icons.insert(Q(weather.icon));
  for (const QString& icon : icons) {
    EXPECT_TRUE(QFileInfo::exists(IconPath(folder, icon))) << icon.toStdString();
  }
}

}  // namespace
}  // namespace skyvane
