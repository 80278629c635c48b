// Where the panel looks for its icon folder: beside the program, then in the
// installed data folder relative to it, and nowhere else.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <string_view>

#include "panel/controls/icon_path.h"

namespace skyvane {
namespace {

// What an icon folder candidate holds in a test tree.
enum class Holds { kNothing, kIconFolder, kIconFolderWithoutSet, kSetAsFile };

// Gives `base` the contents `holds`; creates `base` itself in any case.
void Lay(const QString& base, Holds holds) {
  ASSERT_TRUE(QDir().mkpath(base));
  const QString icons = base + u'/' + QLatin1String(kIconFolderName);
  const QString set = icons + u'/' + QLatin1String(kIconSetName);
  switch (holds) {
    case Holds::kNothing:
      break;
    case Holds::kIconFolder:
      ASSERT_TRUE(QDir().mkpath(set));
      break;
    case Holds::kIconFolderWithoutSet:
      ASSERT_TRUE(QDir().mkpath(icons));
      break;
    case Holds::kSetAsFile: {
      ASSERT_TRUE(QDir().mkpath(icons));
      QFile file(set);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      break;
    }
  }
}

TEST(IconSearchTest, InstalledLayoutPutsTheDataFolderInShareBesideBin) {
  if (std::string_view(SKYVANE_DATA_FROM_BIN) != "../share/skyvane") {
    GTEST_SKIP() << "built for another install layout: " << SKYVANE_DATA_FROM_BIN;
  }
  EXPECT_EQ(
      IconBaseCandidates(QStringLiteral("/opt/sky/bin")),
      QStringList({QStringLiteral("/opt/sky/bin"), QStringLiteral("/opt/sky/share/skyvane")}));
  // The ".." is resolved as text, so messages name a plain path.
  EXPECT_EQ(IconBaseCandidates(QStringLiteral("/usr/bin")).last(),
            QStringLiteral("/usr/share/skyvane"));
}

TEST(IconSearchTest, PrefersTheProgramFolderThenTheDataFolder) {
  struct Case {
    const char* name;
    Holds beside;
    Holds data;
    bool expect_data;  // false: the program folder
  };
  const Case cases[] = {
      {"a build tree or portable copy", Holds::kIconFolder, Holds::kNothing, false},
      {"an installed tree", Holds::kNothing, Holds::kIconFolder, true},
      {"both: the copy beside the program wins", Holds::kIconFolder, Holds::kIconFolder, false},
      {"neither: the program folder, named in the error", Holds::kNothing, Holds::kNothing, false},
      {"an icon folder beside without the set", Holds::kIconFolderWithoutSet, Holds::kIconFolder,
       true},
      {"a file where the set folder should be", Holds::kSetAsFile, Holds::kIconFolder, true},
      {"neither holds the set", Holds::kIconFolderWithoutSet, Holds::kSetAsFile, false},
  };
  for (const Case& c : cases) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString program = root.path() + QStringLiteral("/prefix/bin");
    const QStringList candidates = IconBaseCandidates(program);
    ASSERT_EQ(candidates.size(), 2);
    ASSERT_EQ(candidates.first(), program);
    Lay(program, c.beside);
    Lay(candidates.last(), c.data);
    EXPECT_EQ(FindIconBase(program), c.expect_data ? candidates.last() : program) << c.name;
  }
}

TEST(IconSearchTest, NeverLooksInTheWorkingFolder) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QString program = root.path() + QStringLiteral("/prefix/bin");
  Lay(program, Holds::kNothing);
  const QString elsewhere = root.path() + QStringLiteral("/elsewhere");
  Lay(elsewhere, Holds::kIconFolder);
  const QString saved = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(elsewhere));
  const QString found = FindIconBase(program);
  QDir::setCurrent(saved);
  EXPECT_EQ(found, program);
}

}  // namespace
}  // namespace skyvane
