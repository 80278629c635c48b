#include "panel/weather/weather_language.h"

#include <QLocale>
#include <QStringList>

namespace skyvane {

QString InterfaceLanguageCode() {
  const QStringList languages = QLocale::system().uiLanguages();
  const QLocale::Language language =
      languages.isEmpty() ? QLocale::C : QLocale(languages.first()).language();
  if (language == QLocale::C || language == QLocale::AnyLanguage) {
    return QLatin1String(kFallbackLanguageCode);
  }
  const QString code = QLocale::languageToCode(language, QLocale::ISO639Part1);
  return code.isEmpty() ? QLocale::languageToCode(language).toLower() : code.toLower();
}

WeatherLanguage WeatherLanguageOf(const QString& language_code) {
  return language_code == QLatin1String("zh") ? WeatherLanguage::kChinese
                                              : WeatherLanguage::kEnglish;
}

}  // namespace skyvane
