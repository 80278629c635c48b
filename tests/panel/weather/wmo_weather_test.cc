// The WMO weather table: every code Open-Meteo documents, its icon and its
// texts in both languages, and the neutral weather of any other code.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <set>
#include <string>

#include "panel/controls/icon_path.h"
#include "panel/weather/wmo_weather.h"
#include "panel/texts/utf16_text.h"

namespace skyvane {
namespace {

QString Q(std::u16string_view text) {
  return FromUtf16(text);
}
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
  for (const DocumentedCode& documented : kDocumented) {
    SCOPED_TRACE(documented.code);
    const WmoWeather& weather = DescribeWmoCode(documented.code);
    EXPECT_EQ(weather.code, documented.code);
    EXPECT_EQ(Q(weather.icon), QLatin1String(documented.icon));
    const QString chinese = Q(weather.Text(WeatherLanguage::kChinese));
    const QString english = Q(weather.Text(WeatherLanguage::kEnglish));
    EXPECT_NE(chinese, Q(kUnknownWeather.chinese));
    EXPECT_NE(english, Q(kUnknownWeather.english));
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
    EXPECT_TRUE(english.insert(Q(weather.english)).second) << weather.code;
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
  EXPECT_EQ(Q(kUnknownWeather.english), QStringLiteral("Unknown"));
  EXPECT_EQ(Q(kUnknownWeather.chinese), QStringLiteral("未知"));
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
