#include "panel/controls/panel_controls.h"

#include <algorithm>

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
    : PanelControl(design, scale, parent), fore_color_(design.fore_color) {
  // Captions come from the network: never interpret them as markup.
  setTextFormat(Qt::PlainText);
  setTextInteractionFlags(Qt::NoTextInteraction);
  setWordWrap(false);
  SetForeColor(design.fore_color);
  SetCaption(QString::fromUtf8(design.caption.data(), design.caption.size()));
}

void PanelLabel::SetCaption(const QString& caption) {
  caption_ = caption;
  ShowCaption();
}

void PanelLabel::ShowCaption() {
  // The parent clips what lies past its edge, so only the part it shows
  // counts as room.
  int room = width();
  if (const QWidget* parent = parentWidget()) room = std::min(room, parent->width() - x());
  const qsizetype line_end = FirstLineEnd(caption_);
  QString line = caption_.left(line_end);
  if (line_end < caption_.size()) line += QChar(kEllipsis);
  setText(fontMetrics().elidedText(line, Qt::ElideRight, std::max(room, 0)));
  setToolTip(IsElided() ? PlainToolTip(caption_) : QString());
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
