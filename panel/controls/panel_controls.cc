#include "panel/controls/panel_controls.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPalette>
#include <QTextDocument>

#include "panel/controls/icon_picture.h"

namespace skyvane {

namespace {

constexpr Qt::Alignment kTopLeft = Qt::AlignLeft | Qt::AlignTop;

// Where the first line of `text` ends: at the first character a painter
// breaks a line at, or at the end.
qsizetype FirstLineEnd(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) return i;
  }
  return text.size();
}

// The whole pixels `line` takes in `font` on `device`, as eliding counts
// them: a fraction of a pixel more is one more.
int NeededPixels(const QFont& font, QPaintDevice* device, const QString& line) {
  return static_cast<int>(std::ceil(QFontMetricsF(font, device).horizontalAdvance(line)));
}

}  // namespace

QString PlainToolTip(const QString& plain) {
  return Qt::convertFromPlainText(plain, Qt::WhiteSpaceNormal);
}

PanelControl::PanelControl(const ControlDesign& design, const TwipScale& scale, QWidget* parent)
    : QLabel(parent),
      array_(QString::fromUtf8(design.array.data(), design.array.size())),
      index_(design.index),
      twips_(design.left, design.top, design.width, design.height) {
  setObjectName(array_ + QStringLiteral("(%1)").arg(index_));
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(false);
  setFrameShape(QFrame::NoFrame);
  setMargin(0);
  setIndent(0);
  setAlignment(kTopLeft);
  setGeometry(scale.ToPixels(twips_));
}

// A press anywhere on a control is taken here, so that it never reaches the
// form and starts a drag.
void PanelControl::mousePressEvent(QMouseEvent* event) {
  event->accept();
}
void PanelControl::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}
void PanelControl::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}
void PanelControl::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
}

PanelLabel::PanelLabel(const ControlDesign& design, const TwipScale& scale, QWidget* parent)
    : PanelControl(design, scale, parent),
      fore_color_(design.fore_color),
      designed_width_(width()) {
  // Captions come from the network: never interpret them as markup.
  setTextFormat(Qt::PlainText);
  setTextInteractionFlags(Qt::NoTextInteraction);
  setWordWrap(false);
  SetForeColor(design.fore_color);
  SetCaption(QString::fromUtf8(design.caption.data(), design.caption.size()));
}

void PanelLabel::SetCaption(const QString& caption, const QString& whole) {
  caption_ = caption;
  whole_ = whole;
  ShowCaption();
}

void PanelLabel::SetFitRoom(int right) {
  fit_right_ = right;
  ShowCaption();
}

int PanelLabel::ShownRoom(int width) const {
  // The parent clips what lies past its edge, so only the part it shows
  // counts as room.
  if (const QWidget* parent = parentWidget())
    return std::max(std::min(width, parent->width() - x()), 0);
  return std::max(width, 0);
}

void PanelLabel::TakeDesignedFit() {
  if (width() != designed_width_) resize(designed_width_, height());
  if (testAttribute(Qt::WA_SetFont)) setFont(QFont());
}

bool PanelLabel::FitLine(const QString& line) {
  const QWidget* parent = parentWidget();
  const QFont base = parent != nullptr ? parent->font() : font();
  if (fit_right_ <= 0 || base.pixelSize() <= 0) return false;
  const int grown = std::max(designed_width_, fit_right_ - x());
  const int smallest = std::max(1, base.pixelSize() * kSmallestFitPercent / 100);
  QFont fitted = base;
  for (int pixels = base.pixelSize(); pixels >= smallest; --pixels) {
    fitted.setPixelSize(pixels);
    if (NeededPixels(fitted, this, line) > ShownRoom(grown)) continue;
    if (width() != grown) resize(grown, height());
    if (pixels == base.pixelSize()) {
      if (testAttribute(Qt::WA_SetFont)) setFont(QFont());
    } else {
      setFont(fitted);
    }
    return true;
  }
  return false;
}

void PanelLabel::ShowCaption() {
  if (fitting_) return;
  fitting_ = true;
  const qsizetype line_end = FirstLineEnd(caption_);
  QString line = caption_.left(line_end);
  if (line_end < caption_.size()) line += QChar(kEllipsis);
  TakeDesignedFit();
  if (NeededPixels(font(), this, line) > ShownRoom(width()) && line_end == caption_.size() &&
      !FitLine(line)) {
    TakeDesignedFit();
  }
  setText(QFontMetrics(font(), this).elidedText(line, Qt::ElideRight, ShownRoom(width())));
  setToolTip(ShowsLess() ? PlainToolTip(WholeText()) : QString());
  fitting_ = false;
}

void PanelLabel::changeEvent(QEvent* event) {
  PanelControl::changeEvent(event);
  if (event->type() == QEvent::FontChange) ShowCaption();
}

void PanelLabel::resizeEvent(QResizeEvent* event) {
  PanelControl::resizeEvent(event);
  ShowCaption();
}

void PanelLabel::SetForeColor(BgrColor bgr) {
  fore_color_ = bgr;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, BgrToColor(bgr));
  setPalette(p);
}

ControlState PanelLabel::State() const {
  return ControlState{ArrayName(),   Index(),      Caption(), fore_color_,
                      DesignTwips(), std::nullopt, false};
}

PanelImage::PanelImage(const ControlDesign& design, const TwipScale& scale, QWidget* parent)
    : PanelControl(design, scale, parent), scale_(scale) {
  setScaledContents(false);
}

void PanelImage::LoadPicture(const QString& path) {
  const IconPicture picture = ReadIconPicture(path, devicePixelRatioF());
  setPixmap(picture.pixmap);
  resize(picture.logical_size);
  picture_path_ = path;
  shown_file_ = picture.shown_file;
}

void PanelImage::ShowPictureOf(const PanelImage& other) {
  if (!other.HasPicture()) return;
  setPixmap(other.pixmap());
  resize(other.size());
  picture_path_ = other.picture_path_;
  shown_file_ = other.shown_file_;
}

QRect PanelImage::TwipGeometry() const {
  if (!HasPicture()) return DesignTwips();
  return QRect(DesignTwips().topLeft(), scale_.ToTwips(size()));
}

ControlState PanelImage::State() const {
  return ControlState{ArrayName(),
                      Index(),
                      std::nullopt,
                      std::nullopt,
                      TwipGeometry(),
                      HasPicture() ? std::optional<QString>(picture_path_) : std::nullopt,
                      true};
}

}  // namespace skyvane
