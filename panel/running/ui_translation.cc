#include "panel/running/ui_translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include "panel/controls/icon_path.h"

namespace skyvane {

QStringList TranslationFolders(const QString& program_folder) {
  QStringList folders;
  for (const QString& base : IconBaseCandidates(program_folder)) {
    folders.append(QDir(base).filePath(QLatin1String(kTranslationFolderName)));
  }
  return folders;
}

QString InstallUiTranslation(const QLocale& locale, const QString& program_folder, QObject* owner) {
  QObject* app = owner != nullptr ? owner : QCoreApplication::instance();
  if (app == nullptr) return QString();
  auto* qt = new QTranslator(app);
  if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qt);
  } else {
    delete qt;
  }
  for (const QString& folder : TranslationFolders(program_folder)) {
    auto* own = new QTranslator(app);
    if (own->load(locale, QLatin1String(kTranslationFilePrefix), QStringLiteral("_"), folder)) {
      QCoreApplication::installTranslator(own);
      return own->filePath();
    }
    delete own;
  }
  return QString();
}

}  // namespace skyvane
