// "Start at login": the Exec line quoted as desktop entries need it, and the
// entry written from the menu entry, read back and removed.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <utility>

#include "panel/desktop/autostart_entry.h"
#include "tests/panel/test_files.h"

namespace skyvane {
namespace {

TEST(DesktopExec, QuotesWhatTheDesktopEntryFormatReserves) {
  const std::pair<QStringList, QString> cases[] = {
      {{"/usr/bin/skyvane"}, "/usr/bin/skyvane"},
      {{"/usr/bin/skyvane", "--url", "http://h/api?a=1&b=2"},
       "/usr/bin/skyvane --url \"http://h/api?a=1&b=2\""},
      {{"/home/ann/My Apps/skyvane"}, "\"/home/ann/My Apps/skyvane\""},
      {{"skyvane", ""}, "skyvane \"\""},
      {{"skyvane", "50%"}, "skyvane 50%%"},
      {{"skyvane", "a\"b"}, "skyvane \"a\\\\\"b\""},
      {{"skyvane", "$HOME`x`"}, "skyvane \"\\\\$HOME\\\\`x\\\\`\""},
      {{"skyvane", "back\\slash"}, "skyvane \"back\\\\\\\\slash\""},
      {{"skyvane", "it's"}, "skyvane \"it's\""},
      {{"skyvane", "two\nlines"}, "skyvane \"two\\nlines\""},
      {{"skyvane", "tab\there"}, "skyvane \"tab\\there\""},
      {{"skyvane", "北京"}, "skyvane 北京"},
  };
  for (const auto& [command, exec] : cases) {
    EXPECT_EQ(DesktopExecValue(command), exec) << command.join('|').toStdString();
  }
}

class AutostartEntryTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  QString Path() const { return dir_.path() + "/autostart/skyvane.desktop"; }

  QTemporaryDir dir_;
};

constexpr char kMenuEntry[] =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Skyvane\n"
    "# the program\n"
    "TryExec=/usr/bin/skyvane\n"
    "Exec=/usr/bin/skyvane\n"
    "Hidden=true\n"
    "Icon=skyvane\n"
    "\n"
    "[Desktop Action Refresh]\n"
    "Name=Refresh\n"
    "Exec=/usr/bin/skyvane --refresh\n";

TEST_F(AutostartEntryTest, IsTheMenuEntryRunningThisProgramWithItsOptions) {
  AutostartEntry entry(Path());
  EXPECT_FALSE(entry.IsOn());
  ASSERT_TRUE(entry.Write(QString::fromUtf8(kMenuEntry),
                          {"/opt/sky vane/skyvane", "--url", "file:///tmp/f.json"}))
      << entry.LastError().toStdString();
  EXPECT_TRUE(entry.IsOn());
  EXPECT_EQ(ReadFile(Path()),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Skyvane\n"
            "# the program\n"
            "Exec=\"/opt/sky vane/skyvane\" --url file:///tmp/f.json\n"
            "Icon=skyvane\n"
            "\n"
            "[Desktop Action Refresh]\n"
            "Name=Refresh\n"
            "Exec=/usr/bin/skyvane --refresh\n");

  // Written again with other options: replaced whole.
  ASSERT_TRUE(entry.Write(QString::fromUtf8(kMenuEntry), {"/usr/bin/skyvane"}));
  EXPECT_TRUE(ReadFile(Path()).contains("\nExec=/usr/bin/skyvane\nIcon"));

  ASSERT_TRUE(entry.Remove());
  EXPECT_FALSE(entry.IsOn());
  EXPECT_FALSE(QFile::exists(Path()));
  EXPECT_TRUE(entry.Remove()) << "removing what is not there";
}

TEST_F(AutostartEntryTest, GetsAnExecLineWhereTheMenuEntryHasNone) {
  AutostartEntry entry(Path());
  ASSERT_TRUE(entry.Write("[Desktop Entry]\nName=Skyvane\n", {"/usr/bin/skyvane"}));
  EXPECT_EQ(ReadFile(Path()), "[Desktop Entry]\nExec=/usr/bin/skyvane\nName=Skyvane\n");
}

TEST_F(AutostartEntryTest, CountsAsOffWhenMarkedHidden) {
  WriteFile(Path(), "[Desktop Entry]\nExec=skyvane\nHidden = true\n");
  EXPECT_FALSE(AutostartEntry(Path()).IsOn());
  WriteFile(Path(), "[Desktop Entry]\nExec=skyvane\nHidden=false\n");
  EXPECT_TRUE(AutostartEntry(Path()).IsOn());
  WriteFile(Path(), "[Desktop Entry]\nExec=skyvane\n[Other]\nHidden=true\n");
  EXPECT_TRUE(AutostartEntry(Path()).IsOn());
}

TEST_F(AutostartEntryTest, SaysWhyItCannotBeWritten) {
  WriteFile(dir_.path() + "/autostart", "a file where the folder should be");
  AutostartEntry entry(Path());
  EXPECT_FALSE(entry.Write(QString::fromUtf8(kMenuEntry), {"skyvane"}));
  EXPECT_TRUE(entry.LastError().contains(Path())) << entry.LastError().toStdString();
  EXPECT_FALSE(entry.IsOn());
}

TEST_F(AutostartEntryTest, LivesInTheUsersConfigFolder) {
  const QByteArray old = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
  EXPECT_EQ(AutostartEntry::UserFileName(), Path());
  EXPECT_EQ(AutostartEntry().FileName(), Path());
  qputenv("XDG_CONFIG_HOME", old);
}

TEST_F(AutostartEntryTest, IsMadeFromTheInstalledMenuEntryOrTheBuiltInOne) {
  const QByteArray old = qgetenv("XDG_DATA_HOME");
  const QByteArray old_dirs = qgetenv("XDG_DATA_DIRS");
  qputenv("XDG_DATA_HOME", dir_.path().toLocal8Bit());
  qputenv("XDG_DATA_DIRS", (dir_.path() + "/none").toLocal8Bit());
  const QString built_in = MenuEntryText();
  EXPECT_TRUE(built_in.startsWith("[Desktop Entry]\n")) << built_in.toStdString();
  EXPECT_TRUE(built_in.contains("\nName=Skyvane\n")) << built_in.toStdString();

  WriteFile(dir_.path() + "/applications/skyvane.desktop", "[Desktop Entry]\nName=Installed\n");
  EXPECT_EQ(MenuEntryText(), "[Desktop Entry]\nName=Installed\n");
  qputenv("XDG_DATA_HOME", old);
  qputenv("XDG_DATA_DIRS", old_dirs);
}

}  // namespace
}  // namespace skyvane
