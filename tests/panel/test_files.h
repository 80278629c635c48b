// Whole-file reads and writes for the panel tests that look at files on disk.
#ifndef SKYVANE_TESTS_PANEL_TEST_FILES_H_
#define SKYVANE_TESTS_PANEL_TEST_FILES_H_

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace skyvane {

// The file's bytes, or nothing when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray();
  return file.readAll();
}

// Replaces the file with `bytes`, creating its folder.
inline void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

}  // namespace skyvane

#endif  // SKYVANE_TESTS_PANEL_TEST_FILES_H_
