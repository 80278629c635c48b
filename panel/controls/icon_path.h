// Where the panel's weather icons lie and how an icon name from the
// forecast becomes a file path.
//
// The icons are GIF files in "tianqi_ICON/black", one per icon name. That
// folder lies beside the program in a build tree or a portable copy, and in
// the installed data folder (share/skyvane beside the program's bin/)
// otherwise. Both places are found from the program's own folder alone; the
// icon name comes from the network, so a name that could reach outside the
// icon folder is refused.
#ifndef SKYVANE_PANEL_CONTROLS_ICON_PATH_H_
#define SKYVANE_PANEL_CONTROLS_ICON_PATH_H_

#include <QString>
#include <QStringList>

namespace skyvane {

inline constexpr char kIconFolderName[] = "tianqi_ICON";
inline constexpr char kIconSetName[] = "black";
inline constexpr char kIconExtension[] = ".gif";

// The folders that may hold "tianqi_ICON", in the order they are searched:
// `program_folder` itself, then the installed data folder relative to it
// ("../share/skyvane" in the usual layout; the build derives it from where
// it installs programs and data), with ".." resolved as text. Nothing else
// is ever searched: not the working folder, not the environment.
QStringList IconBaseCandidates(const QString& program_folder);

// The first of IconBaseCandidates(program_folder) that holds the folder
// "tianqi_ICON/black"; `program_folder` itself when none does, so that a
// missing icon is reported at the place a build tree keeps it. Checks the
// file system once per call.
QString FindIconBase(const QString& program_folder);

// `base`, then "tianqi_ICON", "black" and a trailing separator, joined
// with the platform's separator (no second separator when `base` already
// ends in one, as a root folder does). `base` is the program's folder or
// the data folder (FindIconBase).
QString IconFolder(const QString& base);

// True when `name` names a file directly inside the icon folder: it holds
// no path separator ("/" or "\"), no drive colon, no ".." and no NUL.
bool IsSafeIconName(const QString& name);

// `icon_folder` + `name` + ".gif", joined as plain text; `icon_folder` is
// expected to end in a separator, as IconFolder's result does. Raises
// RunError kInvalidArgument, as loading a missing file does, when `name`
// is not a safe icon name.
QString IconPath(const QString& icon_folder, const QString& name);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_CONTROLS_ICON_PATH_H_
