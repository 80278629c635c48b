// The panel's stored design: the form `Skyvane` and its 28 controls with the
// geometry, captions and colours they are created with.
//
// Geometry is in twips relative to the form's client area. Colours are
// 0x00BBGGRR values (blue in the high byte, red in the low one), the form the
// rest of the program reads and writes them in; BgrToColor and ColorToBgr
// are the only conversions to and from Qt colours.
#ifndef SKYVANE_PANEL_CONTROLS_LAYOUT_TABLE_H_
#define SKYVANE_PANEL_CONTROLS_LAYOUT_TABLE_H_

#include <QColor>
#include <array>
#include <cstdint>
#include <string_view>

namespace skyvane {

// A colour as 0x00BBGGRR.
using BgrColor = uint32_t;

inline constexpr BgrColor kBgrBlack = 0x000000;
inline constexpr BgrColor kBgrWhite = 0xFFFFFF;

// Qt colour of a 0x00BBGGRR value; the top byte is ignored.
QColor BgrToColor(BgrColor bgr);
// 0x00BBGGRR value of an (opaque) Qt colour.
BgrColor ColorToBgr(const QColor& color);

// Columns of the panel, and so elements of each control array.
inline constexpr int kColumnCount = 7;
// Four control arrays of kColumnCount elements.
inline constexpr int kControlCount = 28;

struct FormDesign {
  std::string_view name;
  std::string_view caption;
  int width;   // twips, the whole window (it has no border)
  int height;  // twips
  BgrColor back_color;
};

inline constexpr FormDesign kFormDesign{"Skyvane", "Form1", 6735, 795, kBgrWhite};

enum class ControlKind { kImage, kLabel };

struct ControlDesign {
  ControlKind kind;
  std::string_view array;        // "Image1", "Label1", "Label2" or "Label3"
  int index;                     // 0 .. kColumnCount - 1, the column
  int left, top, width, height;  // twips
  int tab_index;                 // labels only; -1 for images
  // A label's caption and fore colour at creation. Images have neither.
  std::string_view caption;
  BgrColor fore_color;
};

// The 28 controls in the order they are stored and created.
extern const std::array<ControlDesign, kControlCount> kControlDesigns;

}  // namespace skyvane

#endif  // SKYVANE_PANEL_CONTROLS_LAYOUT_TABLE_H_
