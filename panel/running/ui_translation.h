// The program's own texts in the user's language: the tray menu, the
// status lines of the tooltips, --help, through Qt's translation system.
//
// The translations are .qm files named skyvane_<locale>.qm (for example
// skyvane_zh_CN.qm) in a folder "translations", found as the icons are:
// beside the program in a build tree or a portable copy, else in the
// installed data folder (share/skyvane). English is the source language and
// needs no file. Lines written to standard error stay English.
#ifndef SKYVANE_PANEL_RUNNING_UI_TRANSLATION_H_
#define SKYVANE_PANEL_RUNNING_UI_TRANSLATION_H_

#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>

namespace skyvane {

inline constexpr char kTranslationFolderName[] = "translations";
inline constexpr char kTranslationFilePrefix[] = "skyvane";

// The folders searched for translations, in order: "translations" inside
// each of IconBaseCandidates(program_folder).
QStringList TranslationFolders(const QString& program_folder);

// Installs into the running QCoreApplication the first
// translation for `locale`'s interface languages found in
// TranslationFolders(program_folder), and Qt's own texts (the standard
// --help lines) from Qt's translations when they are installed. Returns the
// path of the program's translation loaded, or the empty text when none
// applies (English, or a language without one). The translators are
// children of `owner` (the application when null); deleting them takes
// them out again.
QString InstallUiTranslation(const QLocale& locale, const QString& program_folder,
                             QObject* owner = nullptr);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_RUNNING_UI_TRANSLATION_H_
