#include "panel/icon_path.h"

#include <QDir>

#include "text/run_error.h"

namespace skyvane {

namespace {

// The name with control characters shown as U+FFFD, fit for a message line.
QString Printable(const QString& name) {
  QString shown = name;
  for (QChar& c : shown) {
    if (c.category() == QChar::Other_Control) c = QChar::ReplacementCharacter;
  }
  return shown;
}

}  // namespace

QString IconFolder(const QString& program_folder) {
  const QChar separator = QDir::separator();
  QString folder = QDir::toNativeSeparators(program_folder);
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
