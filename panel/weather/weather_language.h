// The language the weather texts and place names are shown in, taken from
// the user's interface language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG as
// QLocale reads them).
#ifndef SKYVANE_PANEL_WEATHER_WEATHER_LANGUAGE_H_
#define SKYVANE_PANEL_WEATHER_WEATHER_LANGUAGE_H_

#include <QString>

namespace skyvane {

// Weather texts exist in two languages: Chinese for a Chinese interface,
// English for every other.
enum class WeatherLanguage { kChinese, kEnglish };

// Used when the interface language has no code of its own (the C locale).
inline constexpr char kFallbackLanguageCode[] = "en";

// The lower-case ISO 639 code of the user's first interface language, e.g.
// "zh", "de", or kFallbackLanguageCode.
QString InterfaceLanguageCode();

// kChinese for the code "zh", kEnglish for any other.
WeatherLanguage WeatherLanguageOf(const QString& language_code);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_WEATHER_WEATHER_LANGUAGE_H_
