// The two kinds of control the panel is made of: a text element (label) and
// a picture element (image).
//
// Both are children of the form that keep their stored geometry in twips,
// have no focus, and take every mouse press that falls inside them without
// acting on it, so that a press on a control never reaches the form (only
// the form's bare surface starts a drag). Both describe themselves as a
// ControlState for inspection.
#ifndef SKYVANE_PANEL_CONTROLS_PANEL_CONTROLS_H_
#define SKYVANE_PANEL_CONTROLS_PANEL_CONTROLS_H_

#include <QLabel>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <optional>

#include "panel/controls/layout_table.h"
#include "panel/geometry/twips.h"

namespace skyvane {

// What one control (or the form) shows, for inspection and tests.
struct ControlState {
  QString control;                     // the array name, or the form's name
  std::optional<int> index;            // the element's index; none for the form
  std::optional<QString> caption;      // none for images
  std::optional<BgrColor> fore_color;  // labels only
  QRect twips;                         // left, top, width, height in twips
  std::optional<QString> picture;      // images only: the loaded file, if any
  bool is_image = false;
};

// What labels and images share: the name, index and stored twip geometry of
// their design row, the settings above, and swallowing every mouse event.
class PanelControl : public QLabel {
  Q_OBJECT
 public:
  int Index() const { return index_; }
  // What the control shows, for inspection.
  virtual ControlState State() const = 0;

 protected:
  // Creates the control described by `design` as a child of `parent`,
  // placed with `scale`.
  PanelControl(const ControlDesign& design, const TwipScale& scale, QWidget* parent);

  // The design row's array name ("Label1", "Image1"...).
  const QString& ArrayName() const { return array_; }
  // The geometry in twips the control was designed with.
  const QRect& DesignTwips() const { return twips_; }

  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QString array_;
  int index_;
  QRect twips_;
};

// The text `plain` as a tooltip that shows exactly these characters. Qt
// reads a tooltip that looks like markup as markup, and captions come from
// the network, so every tooltip made of such text goes through this.
QString PlainToolTip(const QString& plain);

// A label: transparent background, plain text drawn left-aligned from its
// top-left corner (no wrapping, no markup), never past its edges.
//
// A caption that does not fit is shown cut, ending in kEllipsis, and the
// label's tooltip then holds the whole caption (PlainToolTip); otherwise the
// label has no tooltip of its own and hovering it shows the form's. It fits
// when its first line is no wider than the part of the label its parent
// shows (the last column's labels reach past the window's edge) and it has
// no second line. A tooltip of the form's own (a status) that is to show over
// a cut caption as well is composed by its owner: the whole caption first
// (Caption(), IsElided()), then the form's text.
class PanelLabel : public PanelControl {
  Q_OBJECT
 public:
  static constexpr char16_t kEllipsis = u'\u2026';

  // Creates the label described by `design` (which must be a label row)
  // as a child of `parent`, placed with `scale`.
  PanelLabel(const ControlDesign& design, const TwipScale& scale, QWidget* parent);

  // The whole caption, as set, whether or not it is shown cut.
  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  // True while the caption is shown cut.
  bool IsElided() const { return text() != caption_; }
  // What the label draws.
  QString ShownText() const { return text(); }
  BgrColor ForeColor() const { return fore_color_; }
  void SetForeColor(BgrColor bgr);

  ControlState State() const override;

 protected:
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Shows the caption, cut to the room the label has now.
  void ShowCaption();

  QString caption_;
  BgrColor fore_color_;
};

// An image: no border, no picture at first. It shows its picture unscaled
// and takes the picture's size; its top-left corner never moves.
class PanelImage : public PanelControl {
  Q_OBJECT
 public:
  PanelImage(const ControlDesign& design, const TwipScale& scale, QWidget* parent);

  // Loads the picture file at `path` (any format Qt reads, GIF included)
  // and shows it at the image's current device pixel ratio, from the
  // file's doubled sibling where that is sharper (ReadIconPicture). The
  // image takes the size of the file at `path` in logical pixels. Raises
  // RunError kInvalidArgument when that file is missing or holds no
  // picture; the image is then unchanged.
  void LoadPicture(const QString& path);
  // Shows the picture `other` shows, as it was loaded there (no file is
  // read); an `other` without a picture leaves this image as it is.
  void ShowPictureOf(const PanelImage& other);
  bool HasPicture() const { return !picture_path_.isEmpty(); }
  // The full path of the loaded picture; empty while there is none.
  const QString& PicturePath() const { return picture_path_; }
  // The file whose pixels are shown: PicturePath() or its 2x sibling.
  const QString& ShownFile() const { return shown_file_; }

  // Current geometry in twips: the stored one until a picture is loaded,
  // then the stored corner with the picture's size.
  QRect TwipGeometry() const;
  ControlState State() const override;

 private:
  TwipScale scale_;
  QString picture_path_;
  QString shown_file_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_CONTROLS_PANEL_CONTROLS_H_
