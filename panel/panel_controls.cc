#include "panel/panel_controls.h"

#include <QImage>
#include <QImageReader>
#include <QMouseEvent>
#include <QPalette>

#include "text/run_error.h"

namespace skyvane {

namespace {

constexpr Qt::Alignment kTopLeft = Qt::AlignLeft | Qt::AlignTop;

// Settings both kinds share: windowless-looking, no focus, stored place.
void SetUpControl(QLabel& control, const ControlDesign& design, const TwipScale& scale) {
  control.setObjectName(QString::fromUtf8(design.array.data(), design.array.size()) +
                        QStringLiteral("(%1)").arg(design.index));
  control.setFocusPolicy(Qt::NoFocus);
  control.setAutoFillBackground(false);
  control.setFrameShape(QFrame::NoFrame);
  control.setMargin(0);
  control.setIndent(0);
  control.setAlignment(kTopLeft);
  control.setGeometry(scale.ToPixels(QRect(design.left, design.top, design.width, design.height)));
}

}  // namespace

PanelLabel::PanelLabel(const ControlDesign& design, const TwipScale& scale, QWidget* parent)
    : QLabel(parent),
      array_(QString::fromUtf8(design.array.data(), design.array.size())),
      index_(design.index),
      twips_(design.left, design.top, design.width, design.height),
      fore_color_(design.fore_color) {
  SetUpControl(*this, design, scale);
  // Captions come from the network: never interpret them as markup.
  setTextFormat(Qt::PlainText);
  setTextInteractionFlags(Qt::NoTextInteraction);
  setWordWrap(false);
  SetForeColor(design.fore_color);
  SetCaption(QString::fromUtf8(design.caption.data(), design.caption.size()));
}

void PanelLabel::SetCaption(const QString& caption) {
  setText(caption);
}

void PanelLabel::SetForeColor(BgrColor bgr) {
  fore_color_ = bgr;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, BgrToColor(bgr));
  setPalette(p);
}

ControlState PanelLabel::State() const {
  return ControlState{array_, index_, Caption(), fore_color_, twips_, std::nullopt, false};
}

void PanelLabel::mousePressEvent(QMouseEvent* event) {
  event->accept();
}
void PanelLabel::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}
void PanelLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}
void PanelLabel::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
}

PanelImage::PanelImage(const ControlDesign& design, const TwipScale& scale, QWidget* parent)
    : QLabel(parent),
      array_(QString::fromUtf8(design.array.data(), design.array.size())),
      index_(design.index),
      twips_(design.left, design.top, design.width, design.height),
      scale_(scale) {
  SetUpControl(*this, design, scale);
  setScaledContents(false);
}

void PanelImage::LoadPicture(const QString& path) {
  QImageReader reader(path);
  const QImage image = reader.read();
  if (image.isNull()) {
    const bool missing = reader.error() == QImageReader::FileNotFoundError;
    const QString description =
        missing ? QStringLiteral("file not found: %1") : QStringLiteral("not a picture: %1");
    Raise(ErrorNumber::kInvalidArgument, description.arg(path).toStdString());
  }
  const QPixmap picture = QPixmap::fromImage(image);
  setPixmap(picture);
  resize(picture.deviceIndependentSize().toSize());
  picture_path_ = path;
}

QRect PanelImage::TwipGeometry() const {
  if (!HasPicture()) return twips_;
  return QRect(twips_.topLeft(), scale_.ToTwips(size()));
}

ControlState PanelImage::State() const {
  return ControlState{array_,
                      index_,
                      std::nullopt,
                      std::nullopt,
                      TwipGeometry(),
                      HasPicture() ? std::optional<QString>(picture_path_) : std::nullopt,
                      true};
}

void PanelImage::mousePressEvent(QMouseEvent* event) {
  event->accept();
}
void PanelImage::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}
void PanelImage::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}
void PanelImage::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
}

}  // namespace skyvane
