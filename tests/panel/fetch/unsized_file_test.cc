// Files whose reported size is 0 though they hold more, as procfs and sysfs
// files do (and files still being written, and stale network sizes): every
// reader of local files reads them to the end, within its cap.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

#include "panel/fetch/local_file.h"
#include "panel/places/zone_reference.h"
#include "panel/settings/settings_store.h"
#include "tests/panel/test_files.h"

namespace skyvane {
namespace {

// A waiting shell whose /proc/<pid>/cmdline ends with `texts`, each closed
// by a NUL: a file of reported size 0 whose contents the test chooses.
class UnsizedFile {
 public:
  explicit UnsizedFile(const QStringList& texts) {
    process_.start(
        QStringLiteral("/bin/sh"),
        QStringList{QStringLiteral("-c"), QStringLiteral("read _"), QStringLiteral("sh")} + texts);
    EXPECT_TRUE(process_.waitForStarted()) << process_.errorString().toStdString();
    // The child may still show the test's own command line until its exec
    // is through; wait (bounded) for the shell's.
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired() && !Holds(QByteArrayLiteral("read _"))) QThread::msleep(5);
    EXPECT_TRUE(Holds(QByteArrayLiteral("read _")));
    EXPECT_EQ(QFileInfo(Path()).size(), 0);
  }
  ~UnsizedFile() {
    process_.kill();
    process_.waitForFinished();
  }
  UnsizedFile(const UnsizedFile&) = delete;
  UnsizedFile& operator=(const UnsizedFile&) = delete;
  QString Path() const { return QStringLiteral("/proc/%1/cmdline").arg(process_.processId()); }
  bool Holds(const QByteArray& text) const {
    QFile file(Path());
    return file.open(QIODevice::ReadOnly) && file.readAll().contains(text);
  }

 private:
  QProcess process_;
};

// `line` at the end of some 20 KiB of comment lines, so that a reader must
// grow its buffer many times to reach it.
QString AfterComments(const QString& line) {
  return u'\n' + QStringLiteral("# padding\n").repeated(2048) + line + u'\n';
}

TEST(UnsizedFileTest, ReadLocalFileReadsToTheEndWithinItsCap) {
  const UnsizedFile unsized({AfterComments(QStringLiteral("last line"))});
  struct Case {
    QString path;
    int64_t cap;
    LocalFileRead::Outcome outcome;
  };
  const Case cases[] = {
      {QStringLiteral("/proc/version"), int64_t{1} << 20, LocalFileRead::Outcome::kRead},
      {QStringLiteral("/proc/version"), 8, LocalFileRead::Outcome::kTooLarge},
      {unsized.Path(), int64_t{1} << 20, LocalFileRead::Outcome::kRead},
      {unsized.Path(), 10000, LocalFileRead::Outcome::kTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString() + " within " + std::to_string(c.cap));
    ASSERT_EQ(QFileInfo(c.path).size(), 0);
    const QByteArray whole = ReadFile(c.path);
    ASSERT_GT(whole.size(), 1);
    const LocalFileRead read = ReadLocalFile(c.path, c.cap);
    EXPECT_EQ(read.outcome, c.outcome) << read.problem.toStdString();
    if (c.outcome == LocalFileRead::Outcome::kRead) {
      EXPECT_EQ(read.bytes, whole);
    }
  }
}

TEST(UnsizedFileTest, SettingsAreReadToTheEndWithinTheirCap) {
  const UnsizedFile small({AfterComments(QStringLiteral("[set]\nlocation=Oslo"))});
  EXPECT_EQ(SettingsStore(small.Path()).Read(QStringLiteral("location")), QStringLiteral("Oslo"));
  EXPECT_EQ(SettingsStore(small.Path()).ReadProblem(), QString());

  // Nine texts of 120 KiB: more than the 1 MiB cap, though fstat says 0.
  QStringList texts(9, QStringLiteral("#").repeated(120 * 1024));
  texts.append(QStringLiteral("\n[set]\nlocation=Oslo\n"));
  const UnsizedFile large(texts);
  EXPECT_EQ(SettingsStore(large.Path()).Read(QStringLiteral("location")), QString());
  EXPECT_TRUE(SettingsStore(large.Path()).ReadProblem().contains(QStringLiteral("larger than")));
}

TEST(UnsizedFileTest, ZoneTablesAreReadToTheEnd) {
  const UnsizedFile table({AfterComments(QStringLiteral("DE\t+5230+01322\tEurope/Berlin"))});
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  ASSERT_TRUE(
      QFile::link(table.Path(), QDir(folder.path()).filePath(QStringLiteral("zone1970.tab"))));
  const std::optional<GeoPlace> berlin =
      ZoneReferencePlace(QStringLiteral("Europe/Berlin"), folder.path());
  ASSERT_TRUE(berlin.has_value());
  EXPECT_NEAR(berlin->latitude, 52.5, 1e-9);
}

}  // namespace
}  // namespace skyvane
