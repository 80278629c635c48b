#include "panel/refresh/column_speech.h"

#include <QCoreApplication>

namespace skyvane {

QString SpokenTemperature(const QString& caption) {
  const QString number = caption.chopped(caption.isEmpty() ? 0 : 1);
  if (caption.endsWith(u'℃')) {
    return QCoreApplication::translate("ColumnSpeech", "%1 degrees Celsius").arg(number);
  }
  if (caption.endsWith(u'℉')) {
    return QCoreApplication::translate("ColumnSpeech", "%1 degrees Fahrenheit").arg(number);
  }
  return caption;
}

QString ColumnPhrase(QDate date, const QString& weather, const QString& high, const QString& low,
                     const QLocale& locale) {
  // The date's format, in QLocale's pattern letters, is translated with the
  // phrase so that each language orders day and month its own way.
  const QString day = locale.toString(
      date, QCoreApplication::translate("ColumnSpeech", "dddd d MMMM", "date pattern"));
  return QCoreApplication::translate("ColumnSpeech", "%1: %2, high %3, low %4")
      .arg(day, weather, SpokenTemperature(high), SpokenTemperature(low));
}

}  // namespace skyvane
