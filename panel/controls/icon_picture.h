// Reading a weather icon at the sharpness of the screen it is shown on.
//
// An icon set is a folder of GIF files, one per icon name. Beside it may lie
// a folder of the same name with "@2x" appended ("black@2x" beside "black")
// that holds the same icons drawn at twice the size. The ordinary (1x) file
// is the icon: it must exist and be a picture, and its size in pixels is the
// icon's size in logical pixels on every screen, so that what loads and what
// fails, and the room an icon takes, never depend on the screen. Only the
// pixels shown do: on a screen of more than one device pixel per logical
// pixel they come from the 2x file when it can be read, else from the 1x one.
#ifndef SKYVANE_PANEL_CONTROLS_ICON_PICTURE_H_
#define SKYVANE_PANEL_CONTROLS_ICON_PICTURE_H_

#include <QPixmap>
#include <QSize>
#include <QString>

namespace skyvane {

// The name of a set's sibling folder of doubled icons is the set's name and
// this suffix; its icons are kHiDpiIconScale times the 1x size.
inline constexpr char kHiDpiSetSuffix[] = "@2x";
inline constexpr int kHiDpiIconScale = 2;

// An icon made ready for one screen.
struct IconPicture {
  // Exactly the device pixels the icon covers on the screen (the logical
  // size times the ratio, rounded), with that device pixel ratio set, so
  // that a painter draws it without scaling.
  QPixmap pixmap;
  // The 1x file's size: the room the icon takes, in logical pixels.
  QSize logical_size;
  // The file whose pixels `pixmap` holds: the 1x path or its 2x sibling.
  QString shown_file;
};

// The 2x sibling of the 1x icon file `path`: the same file name in the
// folder named like the file's folder with kHiDpiSetSuffix appended
// ("…/black/qing.gif" gives "…/black@2x/qing.gif"); empty when `path` has
// no folder before its file name, or only the root. Plain text; the file
// need not exist. `path` is expected to be a checked icon path (IconPath),
// so the sibling stays inside the icon folder's parent as well.
QString HiDpiIconPath(const QString& path);

// Reads the icon file `path` for a screen of `device_pixel_ratio` device
// pixels per logical pixel. The 1x file is always read; above a ratio of 1
// the 2x sibling is read too and preferred. The chosen picture is scaled
// smoothly to the icon's device size when it does not have it already.
// Raises RunError kInvalidArgument ("file not found: PATH" or "not a
// picture: PATH") when the 1x file is missing or holds no picture; a 2x
// file that is missing or unreadable only falls back to the 1x pixels.
IconPicture ReadIconPicture(const QString& path, double device_pixel_ratio);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_CONTROLS_ICON_PICTURE_H_
