// The recorded answers of the Open-Meteo services that the tests serve,
// written by hand in the shape the services document.
#ifndef SKYVANE_TESTS_PANEL_SOURCES_RECORDINGS_H_
#define SKYVANE_TESTS_PANEL_SOURCES_RECORDINGS_H_

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

namespace skyvane {

// The text of tests/data/open_meteo/`name`.
inline QString Recording(const char* name) {
  QFile file(QStringLiteral(SKYVANE_SOURCE_DIR "/tests/data/open_meteo/") + QLatin1String(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return QString::fromUtf8(file.readAll());
}

}  // namespace skyvane

#endif  // SKYVANE_TESTS_PANEL_SOURCES_RECORDINGS_H_
