#include "panel/settings/position_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/panel/test_files.h"

namespace skyvane {
namespace {

class PositionStoreTest : public testing::Test {
 protected:
  QString Path() const { return dir_.filePath(QStringLiteral("Skyvane/Skyvane.conf")); }
  QTemporaryDir dir_;
};

TEST_F(PositionStoreTest, NothingSavedReadsEmpty) {
  PositionStore store(Path());
  EXPECT_EQ(store.Read(QStringLiteral("formX")), QString());
  EXPECT_EQ(store.Read(QStringLiteral("formY")), QString());
  EXPECT_FALSE(store.SavedPlace().has_value());
}

TEST_F(PositionStoreTest, SavesBothKeysAsDecimalTextInSectionSet) {
  {
    PositionStore store(Path());
    ASSERT_TRUE(store.Save({22095, -300.5f}));
    // On disk at once, not only when the store goes away.
    const QString text = QString::fromUtf8(ReadFile(Path()));
    EXPECT_TRUE(text.contains(QStringLiteral("[set]"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("formX=22095\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("formY=-300.5\n"))) << text.toStdString();
  }
  PositionStore again(Path());
  EXPECT_EQ(again.Read(QStringLiteral("formX")), QStringLiteral("22095"));
  EXPECT_EQ(again.SavedPlace(), (PanelPlace{22095, -300.5f}));
}

TEST_F(PositionStoreTest, LaterSaveReplacesEarlier) {
  PositionStore store(Path());
  ASSERT_TRUE(store.Save({1, 2}));
  ASSERT_TRUE(store.Save({13905, 9000}));
  EXPECT_EQ(PositionStore(Path()).SavedPlace(), (PanelPlace{13905, 9000}));
}

TEST_F(PositionStoreTest, HandEditedValuesAreReadAsTheyStand) {
  const struct {
    const char* file;
    std::optional<PanelPlace> place;
  } cases[] = {
      {"[set]\nformX=13905\nformY=9000\n", PanelPlace{13905, 9000}},
      {"[set]\nformX=\nformY=9000\n", std::nullopt},
      {"[set]\nformX=abc\nformY=9000\n", std::nullopt},
      {"[set]\nformX=13905\n", std::nullopt},
      {"[other]\nformX=13905\nformY=9000\n", std::nullopt},
      {"[set]\nformx=13905\nformy=9000\n", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    WriteFile(Path(), c.file);
    EXPECT_EQ(PositionStore(Path()).SavedPlace(), c.place);
  }
}

TEST_F(PositionStoreTest, ForgetDropsTheSavedPlace) {
  PositionStore store(Path());
  ASSERT_TRUE(store.Save({13905, 9000}));
  ASSERT_TRUE(store.Forget());
  EXPECT_FALSE(store.SavedPlace().has_value());
  EXPECT_FALSE(PositionStore(Path()).SavedPlace().has_value());
  EXPECT_FALSE(ReadFile(Path()).contains("formX"));
  EXPECT_TRUE(store.Forget());  // nothing saved: still fine
}

// A save owns formX and formY and nothing else: a file that also holds a
// foreign section, a comment and a line that is no setting keeps them all,
// and the save reports success because it wrote.
TEST_F(PositionStoreTest, SaveKeepsEveryLineItDoesNotOwn) {
  const char* const before =
      "; placed by hand\n"
      "[window]\n"
      "theme=dark\n"
      "[set]\n"
      "formX=1\n"
      "this line is no setting\n"
      "location=Oslo\n"
      "formY=2\n";
  WriteFile(Path(), before);
  PositionStore store(Path());
  EXPECT_TRUE(store.Save({13905, 9000})) << store.LastError().toStdString();
  EXPECT_TRUE(store.LastError().isEmpty()) << store.LastError().toStdString();
  QString expected = QString::fromUtf8(before);
  expected.replace(QStringLiteral("formX=1"), QStringLiteral("formX=13905"));
  expected.replace(QStringLiteral("formY=2"), QStringLiteral("formY=9000"));
  EXPECT_EQ(ReadFile(Path()).toStdString(), expected.toStdString());
  EXPECT_EQ(PositionStore(Path()).SavedPlace(), (PanelPlace{13905, 9000}));

  ASSERT_TRUE(store.Forget());
  expected.remove(QStringLiteral("formX=13905\n"));
  expected.remove(QStringLiteral("formY=9000\n"));
  EXPECT_EQ(ReadFile(Path()).toStdString(), expected.toStdString());
}

TEST_F(PositionStoreTest, UnwritableStoreReportsFailure) {
  // A plain file where the folder should be: nobody, root included, can
  // create the store below it.
  WriteFile(dir_.filePath(QStringLiteral("blocked")), "");
  PositionStore store(dir_.filePath(QStringLiteral("blocked/Skyvane.conf")));
  EXPECT_FALSE(store.Save({1, 2}));
  EXPECT_TRUE(store.LastError().contains(QStringLiteral("blocked/Skyvane.conf")))
      << store.LastError().toStdString();
}

TEST(NativePositionStoreTest, LivesUnderTheUserConfigurationFolder) {
  // The test program points XDG_CONFIG_HOME at a temporary folder before the
  // first use of any settings.
  const QString config_home = qEnvironmentVariable("XDG_CONFIG_HOME");
  ASSERT_FALSE(config_home.isEmpty());
  PositionStore store;
  EXPECT_EQ(store.FileName(), config_home + QStringLiteral("/Skyvane/Skyvane.conf"));
  ASSERT_TRUE(store.Save({100, 200}));
  EXPECT_TRUE(QFile::exists(store.FileName()));
  ASSERT_TRUE(store.Forget());
}

}  // namespace
}  // namespace skyvane
