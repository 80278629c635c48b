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
// A caption fits when its first line is no wider than the part of the label
// its parent shows (the last column's labels reach past the window's edge)
// and it has no second line. A label given room to fit in (SetFitRoom) that
// a one-line caption does not fit first grows to the right, up to that room,
// then draws the caption in a smaller font, down to kSmallestFitPercent of
// its parent's; it takes its designed width and its parent's font again once
// a caption fits them. A caption that does not fit even so is shown cut,
// ending in kEllipsis, in the parent's font and the designed width, and the
// label's tooltip then holds the whole caption (PlainToolTip); otherwise the
// label has no tooltip of its own and hovering it shows the form's. A
// caption set as the short form of a whole text (SetCaption's `whole`) shows
// that text in the tooltip, cut or not. A tooltip of the form's own (a
// status) that is to show over such a label as well is composed by its
// owner: the whole text first (WholeText(), ShowsLess()), then the form's.
class PanelLabel : public PanelControl {
  Q_OBJECT
 public:
  static constexpr char16_t kEllipsis = u'\u2026';
  static constexpr int kSmallestFitPercent = 70;

  // Creates the label described by `design` (which must be a label row)
  // as a child of `parent`, placed with `scale`.
  PanelLabel(const ControlDesign& design, const TwipScale& scale, QWidget* parent);

  // The whole caption, as set, whether or not it is shown cut.
  const QString& Caption() const { return caption_; }
  // Shows `caption`; `whole`, when not empty, is the whole text `caption`
  // is a short form of.
  void SetCaption(const QString& caption, const QString& whole = QString());
  // The whole text: `whole` as last set, else the caption.
  const QString& WholeText() const { return whole_.isEmpty() ? caption_ : whole_; }
  // True while the caption is shown cut.
  bool IsElided() const { return text() != caption_; }
  // True while the label shows less than WholeText(): cut, or a short form.
  bool ShowsLess() const { return IsElided() || WholeText() != caption_; }
  // Lets the label grow up to `right`, an x in its parent's pixels, and
  // shrink its font to fit a caption; 0 (the default) lets it do neither.
  void SetFitRoom(int right);
  // What the label draws.
  QString ShownText() const { return text(); }
  BgrColor ForeColor() const { return fore_color_; }
  void SetForeColor(BgrColor bgr);

  ControlState State() const override;

 protected:
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Shows the caption, fitted (SetFitRoom) or cut to the room it has.
  void ShowCaption();
  // How much of `width` pixels from the label's left its parent shows.
  int ShownRoom(int width) const;

  // Sets the label's width and font for the caption's first line `line`;
  // false when even the room and the smallest font are too small.
  bool FitLine(const QString& line);
  // Puts back the designed width and the parent's font.
  void TakeDesignedFit();

  QString caption_;
  QString whole_;
  BgrColor fore_color_;
  int designed_width_ = 0;
  int fit_right_ = 0;
  bool fitting_ = false;
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
