// Every caption the panel makes for its columns fits them: each weather
// word of both tables and every temperature range from -40 to 50 ℃ and from
// -40 to 122 ℉, under English and Chinese, in every column, with the
// platform's font. The build runs this test at device pixel ratios 1, 1.5
// and 2 (QT_SCALE_FACTOR).
#include <gtest/gtest.h>

#include <QLocale>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "panel/skyvane_form.h"
#include "panel/sources/met_norway_symbols.h"
#include "panel/weather/temperature_unit.h"
#include "panel/weather/wmo_weather.h"
#include "tests/panel/chinese_texts.h"
#include "tests/panel/fixed_scale_options.h"

namespace skyvane {
namespace {

// The labels of one array, column by column.
using LabelOf = PanelLabel* (Skyvane::*)(int) const;

// Sets each caption in every column's label of `array` and returns the ones
// that were cut, as "caption in column c; ...".
std::string CutCaptions(Skyvane& form, LabelOf array, const QStringList& captions) {
  QStringList cut;
  for (int c = 0; c < kColumnCount; ++c) {
    PanelLabel* label = (form.*array)(c);
    for (const QString& caption : captions) {
      label->SetCaption(caption);
      if (label->IsElided()) cut.append(QStringLiteral("%1 in column %2").arg(caption).arg(c));
    }
  }
  return cut.join(QStringLiteral("; ")).toStdString();
}

// The labels of `array` with the widest of `captions` each: none reaches the
// next column's label nor past the window.
void ExpectApart(Skyvane& form, LabelOf array, const QStringList& captions) {
  for (int c = 0; c < kColumnCount; ++c) {
    PanelLabel* label = (form.*array)(c);
    for (const QString& caption : captions) {
      label->SetCaption(caption);
      const int right = label->x() + label->fontMetrics().horizontalAdvance(label->ShownText());
      EXPECT_LE(right, c + 1 < kColumnCount ? (form.*array)(c + 1)->x() : form.width())
          << caption.toStdString() << " in column " << c;
    }
  }
}

QStringList Ranges(TemperatureUnit unit, int lowest, int highest) {
  QStringList ranges;
  const QString sign = UnitSign(unit);
  for (int low = lowest; low <= highest; ++low) {
    for (int high = low; high <= highest; ++high) {
      ranges.append(QString::number(low) + sign + u'-' + QString::number(high) + sign);
    }
  }
  return ranges;
}

TEST(CaptionFitTest, EveryWeatherWordDayAndRangeFitsItsColumn) {
  const QStringList ranges =
      Ranges(TemperatureUnit::kCelsius, -40, 50) + Ranges(TemperatureUnit::kFahrenheit, -40, 122);
  const QStringList widest_ranges{QStringLiteral("-40℃--40℃"), QStringLiteral("-40℉-122℉"),
                                  QStringLiteral("100℉-122℉")};
  const struct {
    const char* locale;
    WeatherLanguage language;
  } languages[] = {{"en_US", WeatherLanguage::kEnglish}, {"zh_CN", WeatherLanguage::kChinese}};
  for (const auto& l : languages) {
    SCOPED_TRACE(l.locale);
    std::optional<ChineseTexts> chinese;
    if (l.language == WeatherLanguage::kChinese) chinese.emplace();
    Skyvane form(FixedScaleOptions());

    QStringList words{kUnknownWeather.Brief(l.language)};
    for (const WmoWeather& weather : WmoWeatherTable()) words.append(weather.Brief(l.language));
    for (const MetNorwaySymbol& symbol : MetNorwaySymbolTable()) {
      words.append(symbol.weather.Brief(l.language));
    }
    QStringList days;
    const QLocale locale{QString::fromLatin1(l.locale)};
    for (int day = 1; day <= 7; ++day) {
      days.append(l.language == WeatherLanguage::kChinese
                      ? QStringLiteral("30号")
                      : locale.dayName(day, QLocale::ShortFormat) + QStringLiteral(" 30"));
    }

    EXPECT_EQ(CutCaptions(form, &Skyvane::Label1, days), "");
    EXPECT_EQ(CutCaptions(form, &Skyvane::Label2, words), "");
    EXPECT_EQ(CutCaptions(form, &Skyvane::Label3, ranges), "");
    ExpectApart(form, &Skyvane::Label2, words);
    ExpectApart(form, &Skyvane::Label3, widest_ranges);
  }
}

}  // namespace
}  // namespace skyvane
