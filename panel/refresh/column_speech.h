// What a screen reader says for one column: the whole day in one phrase of
// the interface language, "Wednesday 9 December: Light rain, high 11
// degrees Celsius, low 4 degrees Celsius".
#ifndef SKYVANE_PANEL_REFRESH_COLUMN_SPEECH_H_
#define SKYVANE_PANEL_REFRESH_COLUMN_SPEECH_H_

#include <QDate>
#include <QLocale>
#include <QString>

namespace skyvane {

// A temperature caption as it is read: "11℃" -> "11 degrees Celsius",
// "-3℉" -> "-3 degrees Fahrenheit"; a caption without a unit sign as it is.
QString SpokenTemperature(const QString& caption);

// The phrase of the day `date` (named in `locale`) with the weather text
// `weather` and the captions `high` and `low`, translated through Qt
// (context "ColumnSpeech").
QString ColumnPhrase(QDate date, const QString& weather, const QString& high, const QString& low,
                     const QLocale& locale = QLocale());

}  // namespace skyvane

#endif  // SKYVANE_PANEL_REFRESH_COLUMN_SPEECH_H_
