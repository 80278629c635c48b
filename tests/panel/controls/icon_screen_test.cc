// The panel's icons on the screen the process runs on. The build runs these
// tests at device pixel ratios 1, 1.5 and 2 (QT_SCALE_FACTOR), with
// SKYVANE_TEST_DEVICE_PIXEL_RATIO naming the ratio the screen must have.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QUrl>
#include <cmath>
#include <string>

#include "panel/controls/icon_path.h"
#include "panel/controls/icon_picture.h"
#include "panel/skyvane_form.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

constexpr char kRatioVariable[] = "SKYVANE_TEST_DEVICE_PIXEL_RATIO";
constexpr int kIconPixels = 32;
constexpr int kIconTwips = 480;

double ExpectedRatio() {
  return qEnvironmentVariableIsSet(kRatioVariable) ? qEnvironmentVariable(kRatioVariable).toDouble()
                                                   : 1.0;
}

// `file` drawn over the form's white, in the form's pixel format.
QImage OverWhite(const QString& file) {
  QImage image(QImage(file).size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.drawImage(0, 0, QImage(file));
  return image;
}

class IconOnThisScreenTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // A copy of both shipped sets, and a forecast file to fill the form.
    const QString shipped = IconFolder(QCoreApplication::applicationDirPath());
    icon_folder_ = dir_.filePath(QStringLiteral("black/"));
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("black")));
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("black") + kHiDpiSetSuffix));
    for (const QString& file : QDir(shipped).entryList({QStringLiteral("*.gif")}, QDir::Files)) {
      ASSERT_TRUE(QFile::copy(shipped + file, icon_folder_ + file));
      ASSERT_TRUE(QFile::copy(HiDpiIconPath(shipped + file), HiDpiIconPath(icon_folder_ + file)));
    }
  }

  // A form whose forecast names `icons`, one per column, in turn.
  std::unique_ptr<Skyvane> LoadedForm(const QStringList& icons) {
    QString records;
    for (int day = 0; day < kColumnCount; ++day) {
      QString name = icons[day % icons.size()];
      name.replace(u'\\', QStringLiteral("\\\\"));
      records += QStringLiteral(R"({"wea":"W","wea_img":"%1","tem1":"9","tem2":"1"},)").arg(name);
    }
    const QString forecast = dir_.filePath(QStringLiteral("forecast.json"));
    QFile file(forecast);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QStringLiteral(R"({"data":[%1]})").arg(records).toUtf8());
    file.close();
    SkyvaneOptions options;
    options.scale = TwipScale(kNominalTwipsPerPixel);
    options.icon_folder = icon_folder_;
    options.url = QUrl::fromLocalFile(forecast).toString();
    options.position_file = dir_.filePath(QStringLiteral("Skyvane.conf"));
    auto form = std::make_unique<Skyvane>(options);
    form->Form_Load();
    return form;
  }

  QTemporaryDir dir_;
  QString icon_folder_;
};

TEST_F(IconOnThisScreenTest, TheFormShowsTheSetThatFitsInTheRoomOfThe1xIcon) {
  const std::unique_ptr<Skyvane> form =
      LoadedForm({QStringLiteral("qing"), QStringLiteral("yun"), QStringLiteral("lei")});
  const double ratio = form->devicePixelRatioF();
  ASSERT_DOUBLE_EQ(ratio, ExpectedRatio()) << "the screen does not have the ratio under test";
  ASSERT_FALSE(form->RefreshStopped().has_value());
  const int device_pixels = static_cast<int>(std::lround(kIconPixels * ratio));
  for (int i = 0; i < kColumnCount; ++i) {
    SCOPED_TRACE(i);
    const PanelImage* image = form->Image1(i);
    EXPECT_EQ(image->ShownFile(),
              ratio > 1.0 ? HiDpiIconPath(image->PicturePath()) : image->PicturePath());
    EXPECT_EQ(image->size(), QSize(kIconPixels, kIconPixels));
    EXPECT_EQ(image->TwipGeometry().size(), QSize(kIconTwips, kIconTwips));
    EXPECT_EQ(image->pixmap().size(), QSize(device_pixels, device_pixels));
  }

  // At a whole ratio the screen gets the file's own pixels: compare the
  // rows of the first icon above the day label, which begins 8 pixels down.
  if (ratio != std::floor(ratio)) return;
  const int scale = static_cast<int>(ratio);
  const QImage drawn = form->grab().toImage();
  const QImage file = OverWhite(form->Image1(0)->ShownFile());
  const QPoint corner = form->Image1(0)->pos() * scale;
  constexpr int kFreeRows = 8;
  for (int y = 0; y < kFreeRows * scale; ++y) {
    for (int x = 0; x < device_pixels; ++x) {
      ASSERT_EQ(drawn.pixel(corner + QPoint(x, y)), file.pixel(x, y)) << x << "," << y;
    }
  }
}

TEST_F(IconOnThisScreenTest, NamesRefusedForTheirPathAreRefusedWhateverTheScreen) {
  // Each would reach an existing file of the 2x set, or of the 1x set
  // through it; only the plain name loads.
  for (const QString& name :
       {QStringLiteral("../black@2x/qing"), QStringLiteral("..\\black@2x\\qing"),
        QStringLiteral("@2x/../qing"), dir_.filePath(QStringLiteral("black@2x/qing")),
        QStringLiteral("black@2x/qing")}) {
    SCOPED_TRACE(name.toStdString());
    const std::unique_ptr<Skyvane> form = LoadedForm({name});
    ASSERT_TRUE(form->RefreshStopped().has_value());
    EXPECT_EQ(form->RefreshStopped()->column, 0);
    EXPECT_EQ(form->RefreshStopped()->number, ErrorNumber::kInvalidArgument);
    EXPECT_FALSE(form->Image1(0)->HasPicture());
    EXPECT_TRUE(form->Image1(0)->ShownFile().isEmpty());
  }
}

TEST_F(IconOnThisScreenTest, AnIconOnlyThe2xSetHasIsMissingWhateverTheScreen) {
  ASSERT_TRUE(QFile::rename(icon_folder_ + QStringLiteral("wu.gif"),
                            dir_.filePath(QStringLiteral("wu-1x.gif"))));
  const std::unique_ptr<Skyvane> form = LoadedForm({QStringLiteral("qing"), QStringLiteral("wu")});
  ASSERT_TRUE(form->RefreshStopped().has_value());
  EXPECT_EQ(form->RefreshStopped()->column, 1);
  EXPECT_TRUE(form->RefreshStopped()->reason.contains(icon_folder_ + QStringLiteral("wu.gif")));
  EXPECT_FALSE(form->Image1(1)->HasPicture());
}

}  // namespace
}  // namespace skyvane
