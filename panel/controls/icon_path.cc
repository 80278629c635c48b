#include "panel/controls/icon_path.h"

#include <QDir>
#include <QFileInfo>

#include "text/run_error.h"

namespace skyvane {

namespace {

// Where the build installs the data folder, relative to the programs' folder.
constexpr char kDataFolderFromProgram[] = SKYVANE_DATA_FROM_BIN;

// The name with control characters shown as U+FFFD, fit for a message line.
QString Printable(const QString& name) {
  QString shown = name;
  for (QChar& c : shown) {
    if (c.category() == QChar::Other_Control) c = QChar::ReplacementCharacter;
  }
  return shown;
}

}  // namespace

QStringList IconBaseCandidates(const QString& program_folder) {
  return {program_folder,
          QDir::cleanPath(program_folder + u'/' + QLatin1String(kDataFolderFromProgram))};
}

QString FindIconBase(const QString& program_folder) {
  for (const QString& base : IconBaseCandidates(program_folder)) {
    if (QFileInfo(IconFolder(base)).isDir()) return base;
  }
  return program_folder;
}

QString IconFolder(const QString& base) {
  const QChar separator = QDir::separator();
  QString folder = QDir::toNativeSeparators(base);
  if (!folder.endsWith(separator)) folder += separator;
  return folder + QLatin1String(kIconFolderName) + separator + QLatin1String(kIconSetName) +
         separator;
}

bool IsSafeIconName(const QString& name) {
  for (const QChar c : name) {
    if (c == u'/' || c == u'\\' || c == u':' || c == QChar::Null) return false;
  }
  return !name.contains(QLatin1String(".."));
}

QString IconPath(const QString& icon_folder, const QString& name) {
  if (!IsSafeIconName(name)) {
    Raise(ErrorNumber::kInvalidArgument,
          QStringLiteral("file not found: icon name \"%1\" refused, it leaves the icon folder")
              .arg(Printable(name))
              .toStdString());
  }
  return icon_folder + name + QLatin1String(kIconExtension);
}

}  // namespace skyvane
