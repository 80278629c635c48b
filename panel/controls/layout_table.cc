#include "panel/controls/layout_table.h"

namespace skyvane {

namespace {

// Where each 8-bit channel sits in a 0x00BBGGRR value.
constexpr int kRedShift = 0;
constexpr int kGreenShift = 8;
constexpr int kBlueShift = 16;
constexpr BgrColor kChannelMask = 0xFF;

int Channel(BgrColor bgr, int shift) {
  return static_cast<int>((bgr >> shift) & kChannelMask);
}

}  // namespace

QColor BgrToColor(BgrColor bgr) {
  return QColor(Channel(bgr, kRedShift), Channel(bgr, kGreenShift), Channel(bgr, kBlueShift));
}

BgrColor ColorToBgr(const QColor& color) {
  return (static_cast<BgrColor>(color.red()) << kRedShift) |
         (static_cast<BgrColor>(color.green()) << kGreenShift) |
         (static_cast<BgrColor>(color.blue()) << kBlueShift);
}

// clang-format off
// kind, array, index, left, top, width, height, tab index, caption, fore colour
const std::array<ControlDesign, kControlCount> kControlDesigns{{
    {ControlKind::kImage, "Image1", 6, 6240, 0, 375, 375, -1, "", kBgrBlack},
    {ControlKind::kImage, "Image1", 5, 5280, 0, 375, 375, -1, "", kBgrBlack},
    {ControlKind::kImage, "Image1", 4, 4320, 0, 375, 375, -1, "", kBgrBlack},
    {ControlKind::kImage, "Image1", 3, 3360, 0, 375, 375, -1, "", kBgrBlack},
    {ControlKind::kImage, "Image1", 2, 2400, 0, 375, 375, -1, "", kBgrBlack},
    {ControlKind::kImage, "Image1", 1, 1440, 0, 375, 375, -1, "", kBgrBlack},
    {ControlKind::kImage, "Image1", 0, 480, 0, 375, 375, -1, "", kBgrBlack},
    {ControlKind::kLabel, "Label2", 0, 120, 360, 855, 255, 7, "Label2", kBgrBlack},
    {ControlKind::kLabel, "Label2", 1, 1080, 360, 855, 255, 8, "Label2", kBgrBlack},
    {ControlKind::kLabel, "Label2", 6, 5880, 360, 975, 255, 13, "Label2", kBgrBlack},
    {ControlKind::kLabel, "Label2", 5, 4920, 360, 855, 255, 12, "Label2", kBgrBlack},
    {ControlKind::kLabel, "Label2", 4, 3960, 360, 855, 255, 11, "Label2", kBgrBlack},
    {ControlKind::kLabel, "Label2", 3, 3000, 360, 855, 255, 10, "Label2", kBgrBlack},
    {ControlKind::kLabel, "Label2", 2, 2040, 360, 855, 255, 9, "Label2", kBgrBlack},
    {ControlKind::kLabel, "Label1", 6, 5880, 120, 735, 255, 6, "Label1", kBgrBlack},
    {ControlKind::kLabel, "Label1", 5, 4920, 120, 735, 255, 5, "Label1", kBgrBlack},
    {ControlKind::kLabel, "Label1", 4, 3960, 120, 735, 255, 4, "Label1", kBgrBlack},
    {ControlKind::kLabel, "Label1", 3, 3000, 120, 735, 255, 3, "Label1", kBgrBlack},
    {ControlKind::kLabel, "Label1", 2, 2040, 120, 735, 255, 2, "Label1", kBgrBlack},
    {ControlKind::kLabel, "Label1", 1, 1080, 120, 735, 255, 1, "Label1", kBgrBlack},
    {ControlKind::kLabel, "Label1", 0, 120, 120, 735, 255, 0, "Label1", kBgrBlack},
    {ControlKind::kLabel, "Label3", 6, 5880, 600, 975, 255, 20, "Label3", kBgrBlack},
    {ControlKind::kLabel, "Label3", 5, 4920, 600, 855, 255, 19, "Label3", kBgrBlack},
    {ControlKind::kLabel, "Label3", 4, 3960, 600, 855, 255, 18, "Label3", kBgrBlack},
    {ControlKind::kLabel, "Label3", 3, 3000, 600, 855, 255, 17, "Label3", kBgrBlack},
    {ControlKind::kLabel, "Label3", 2, 2040, 600, 855, 255, 16, "Label3", kBgrBlack},
    {ControlKind::kLabel, "Label3", 1, 1080, 600, 855, 255, 15, "Label3", kBgrBlack},
    {ControlKind::kLabel, "Label3", 0, 120, 600, 855, 255, 14, "Label3", kBgrBlack},
}};
// clang-format on

}  // namespace skyvane
