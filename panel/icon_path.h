// Where the panel's weather icons lie and how an icon name from the
// forecast becomes a file path.
//
// The icons are GIF files in "tianqi_ICON/black" below the folder that holds
// the program, one per icon name. The name comes from the network, so a
// name that could reach outside that folder is refused.
#ifndef SKYVANE_PANEL_ICON_PATH_H_
#define SKYVANE_PANEL_ICON_PATH_H_

#include <QString>

namespace skyvane {

inline constexpr char kIconFolderName[] = "tianqi_ICON";
inline constexpr char kIconSetName[] = "black";
inline constexpr char kIconExtension[] = ".gif";

// `program_folder`, then "tianqi_ICON", "black" and a trailing separator,
// joined with the platform's separator (no second separator when the
// program folder already ends in one, as a root folder does).
QString IconFolder(const QString& program_folder);

// True when `name` names a file directly inside the icon folder: it holds
// no path separator ("/" or "\"), no drive colon, no ".." and no NUL.
bool IsSafeIconName(const QString& name);

// `icon_folder` + `name` + ".gif", joined as plain text; `icon_folder` is
// expected to end in a separator, as IconFolder's result does. Raises
// RunError kInvalidArgument, as loading a missing file does, when `name`
// is not a safe icon name.
QString IconPath(const QString& icon_folder, const QString& name);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_ICON_PATH_H_
