// The settings file on disk: reads, writes that keep the user's lines, and
// failures reported only when nothing was written.
#include "panel/settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include "tests/panel/test_files.h"

namespace skyvane {
namespace {

class SettingsStoreTest : public testing::Test {
 protected:
  QString Path() const { return dir_.filePath(QStringLiteral("Skyvane/Skyvane.conf")); }
  QTemporaryDir dir_;
};

TEST_F(SettingsStoreTest, WritesAndReadsKeysOfTheSection) {
  SettingsStore store(Path());
  EXPECT_EQ(store.Read(QStringLiteral("location")), QString());
  ASSERT_TRUE(store.Write(QStringLiteral("location"), QStringLiteral("Berlin; Mitte")))
      << store.LastError().toStdString();
  ASSERT_TRUE(store.Write({{QStringLiteral("latitude"), QStringLiteral("52.52")},
                           {QStringLiteral("longitude"), QStringLiteral("13.4")}}));
  EXPECT_EQ(ReadFile(Path()),
            "[set]\nlocation=\"Berlin; Mitte\"\nlatitude=52.52\nlongitude=13.4\n");
  SettingsStore again(Path());
  EXPECT_EQ(again.Read(QStringLiteral("location")), QStringLiteral("Berlin; Mitte"));
  EXPECT_EQ(again.Read(QStringLiteral("latitude")), QStringLiteral("52.52"));
  ASSERT_TRUE(again.Remove(QStringLiteral("latitude")));
  EXPECT_EQ(store.Read(QStringLiteral("latitude")), QString());
  EXPECT_EQ(store.Read(QStringLiteral("longitude")), QStringLiteral("13.4"));
}

TEST_F(SettingsStoreTest, KeepsEveryLineItDoesNotOwn) {
  const QByteArray before =
      "; my notes\r\n[General]\r\ntheme=dark\r\n[set]\r\nthis line has no equals sign\r\n"
      "formX=1\r\n[other]\r\n@weird=@Variant(\\0\\0)\r\n";
  WriteFile(Path(), before);
  SettingsStore store(Path());
  ASSERT_TRUE(store.Write(QStringLiteral("formX"), QStringLiteral("2")));
  EXPECT_TRUE(store.LastError().isEmpty());
  QByteArray expected = before;
  expected.replace("formX=1", "formX=2");
  EXPECT_EQ(ReadFile(Path()), expected);
}

TEST_F(SettingsStoreTest, TwoWritersKeepEachOthersKeys) {
  SettingsStore panel(Path());
  SettingsStore other(Path());
  ASSERT_TRUE(panel.Write(QStringLiteral("formX"), QStringLiteral("1")));
  ASSERT_TRUE(other.Write(QStringLiteral("location"), QStringLiteral("Oslo")));
  ASSERT_TRUE(panel.Write(QStringLiteral("formX"), QStringLiteral("2")));
  EXPECT_EQ(ReadFile(Path()), "[set]\nformX=2\nlocation=Oslo\n");
}

TEST_F(SettingsStoreTest, RemovingFromNoFileCreatesNothing) {
  SettingsStore store(Path());
  EXPECT_TRUE(store.Remove({QStringLiteral("formX"), QStringLiteral("formY")}));
  EXPECT_FALSE(QFileInfo::exists(QFileInfo(Path()).path()));
}

TEST_F(SettingsStoreTest, WritesThroughALinkAndKeepsThePermissions) {
  const QString real = dir_.filePath(QStringLiteral("real.conf"));
  WriteFile(real, "[set]\nformX=1\n");
  ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0600), 0);
  QDir().mkpath(QFileInfo(Path()).path());
  ASSERT_TRUE(QFile::link(real, Path()));
  SettingsStore store(Path());
  ASSERT_TRUE(store.Write(QStringLiteral("formX"), QStringLiteral("2")))
      << store.LastError().toStdString();
  EXPECT_TRUE(QFileInfo(Path()).isSymLink());
  EXPECT_EQ(ReadFile(real), "[set]\nformX=2\n");
  struct stat info {};
  ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// What cannot be read cannot be kept: such a file is left alone, with a
// reason, and reads as holding nothing.
TEST_F(SettingsStoreTest, RefusesToReplaceWhatItCannotRead) {
  {
    QDir().mkpath(Path());  // a folder where the file should be
    SettingsStore store(Path());
    EXPECT_EQ(store.Read(QStringLiteral("formX")), QString());
    EXPECT_FALSE(store.Write(QStringLiteral("formX"), QStringLiteral("1")));
    EXPECT_TRUE(store.LastError().contains(QStringLiteral("not a regular file")))
        << store.LastError().toStdString();
    EXPECT_TRUE(QFileInfo(Path()).isDir());
    EXPECT_TRUE(store.ReadProblem().contains(QStringLiteral("not a regular file")));
    QDir(Path()).removeRecursively();
  }
  {
    const QByteArray huge = "[set]\nformX=7\n" + QByteArray(kMaxSettingsFileBytes, '#');
    WriteFile(Path(), huge);
    SettingsStore store(Path());
    EXPECT_EQ(store.Read(QStringLiteral("formX")), QString());
    EXPECT_FALSE(store.Write(QStringLiteral("formX"), QStringLiteral("1")));
    EXPECT_TRUE(store.LastError().contains(QStringLiteral("larger than")))
        << store.LastError().toStdString();
    EXPECT_EQ(ReadFile(Path()), huge);
    EXPECT_TRUE(store.ReadProblem().contains(QStringLiteral("larger than")));
  }
  {
    WriteFile(Path(), "[set]\nformX=7\n");
    EXPECT_EQ(SettingsStore(Path()).ReadProblem(), QString());
    QFile::remove(Path());
    EXPECT_EQ(SettingsStore(Path()).ReadProblem(), QString()) << "no file is no problem";
  }
}

TEST_F(SettingsStoreTest, AFifoIsNeitherWaitedForNorReplaced) {
  QDir().mkpath(QFileInfo(Path()).path());
  ASSERT_EQ(::mkfifo(QFile::encodeName(Path()).constData(), 0600), 0);
  SettingsStore store(Path());
  EXPECT_EQ(store.Read(QStringLiteral("formX")), QString());
  EXPECT_FALSE(store.Write(QStringLiteral("formX"), QStringLiteral("1")));
  EXPECT_FALSE(QFileInfo(Path()).isFile());
}

TEST_F(SettingsStoreTest, ReportsAFailureOnlyWhenTheWriteFailed) {
  WriteFile(dir_.filePath(QStringLiteral("blocked")), "");
  SettingsStore blocked(dir_.filePath(QStringLiteral("blocked/Skyvane.conf")));
  EXPECT_FALSE(blocked.Write(QStringLiteral("formX"), QStringLiteral("1")));
  EXPECT_TRUE(blocked.LastError().contains(QStringLiteral("blocked/Skyvane.conf")))
      << blocked.LastError().toStdString();

  SettingsStore store(Path());
  EXPECT_FALSE(store.Write(QStringLiteral("bad key"), QStringLiteral("1")));
  EXPECT_FALSE(QFileInfo::exists(Path()));
  EXPECT_TRUE(store.Write(QStringLiteral("formX"), QStringLiteral("1")));
  EXPECT_TRUE(store.LastError().isEmpty());
}

TEST_F(SettingsStoreTest, WaitsForAnotherWriterOnlySoLong) {
  SettingsStore store(Path());
  ASSERT_TRUE(store.Write(QStringLiteral("formX"), QStringLiteral("1")));
  QLockFile other(Path() + QStringLiteral(".lock"));
  ASSERT_TRUE(other.tryLock(0));
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(store.Write(QStringLiteral("formX"), QStringLiteral("2")));
  EXPECT_TRUE(store.LastError().contains(QStringLiteral("another program")))
      << store.LastError().toStdString();
  EXPECT_LT(clock.elapsed(), 30'000);
  EXPECT_EQ(store.Read(QStringLiteral("formX")), QStringLiteral("1"));
  other.unlock();
  EXPECT_TRUE(store.Write(QStringLiteral("formX"), QStringLiteral("2")));
}

TEST(UserSettingsStoreTest, LivesUnderTheUserConfigurationFolder) {
  // The test program points XDG_CONFIG_HOME at a temporary folder first.
  const QString config_home = qEnvironmentVariable("XDG_CONFIG_HOME");
  ASSERT_FALSE(config_home.isEmpty());
  EXPECT_EQ(SettingsStore::UserFileName(), config_home + QStringLiteral("/Skyvane/Skyvane.conf"));
  EXPECT_EQ(SettingsStore().FileName(), SettingsStore::UserFileName());
}

}  // namespace
}  // namespace skyvane
