#include "panel/controls/icon_picture.h"

#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <utility>

#include "text/run_error.h"

namespace skyvane {

namespace {

// Index of the separator before the file name in either spelling, or -1.
qsizetype LastSeparator(const QString& path) {
  return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

QSize DeviceSize(QSize logical, double device_pixel_ratio) {
  return QSize(qRound(logical.width() * device_pixel_ratio),
               qRound(logical.height() * device_pixel_ratio));
}

}  // namespace

QString HiDpiIconPath(const QString& path) {
  const qsizetype separator = LastSeparator(path);
  // A file in the root or in no named folder has no set folder to be beside.
  if (separator <= 0) return QString();
  return path.left(separator) + QLatin1String(kHiDpiSetSuffix) + path.mid(separator);
}

IconPicture ReadIconPicture(const QString& path, double device_pixel_ratio) {
  QImageReader reader(path);
  QImage image = reader.read();
  if (image.isNull()) {
    const bool missing = reader.error() == QImageReader::FileNotFoundError;
    const QString description =
        missing ? QStringLiteral("file not found: %1") : QStringLiteral("not a picture: %1");
    Raise(ErrorNumber::kInvalidArgument, description.arg(path).toStdString());
  }
  IconPicture picture{QPixmap(), image.size(), path};
  if (device_pixel_ratio > 1.0) {
    const QString hi_dpi_path = HiDpiIconPath(path);
    QImage hi_dpi = hi_dpi_path.isEmpty() ? QImage() : QImageReader(hi_dpi_path).read();
    if (!hi_dpi.isNull()) {
      image = std::move(hi_dpi);
      picture.shown_file = hi_dpi_path;
    }
  }
  const QSize device_size = DeviceSize(picture.logical_size, device_pixel_ratio);
  if (image.size() != device_size) {
    image = image.scaled(device_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  picture.pixmap = QPixmap::fromImage(image);
  picture.pixmap.setDevicePixelRatio(device_pixel_ratio);
  return picture;
}

}  // namespace skyvane
