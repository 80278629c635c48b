// Runs the window tests on the offscreen platform, with the user's settings
// and cache redirected to a temporary folder before anything reads them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir config_home;
  if (!config_home.isValid()) return 2;
  qputenv("XDG_CONFIG_HOME", config_home.path().toLocal8Bit());
  QTemporaryDir cache_home;
  if (!cache_home.isValid()) return 2;
  qputenv("XDG_CACHE_HOME", cache_home.path().toLocal8Bit());
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
