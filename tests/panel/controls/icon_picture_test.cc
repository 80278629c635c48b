// Icons at the screen's sharpness: which file's pixels are shown at which
// device pixel ratio, the room an icon takes, and the fall-backs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "panel/controls/icon_path.h"
#include "panel/controls/icon_picture.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

QString ShippedFolder() {
  return IconFolder(QCoreApplication::applicationDirPath());
}

// The shipped 1x icon `name` and its 2x sibling.
QString Shipped1x(const char* name) {
  return ShippedFolder() + QLatin1String(name) + QLatin1String(kIconExtension);
}
QString Shipped2x(const char* name) {
  return HiDpiIconPath(Shipped1x(name));
}

QImage Argb(const QImage& image) {
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TEST(HiDpiIconPathTest, NamesTheSameFileInTheSiblingSetFolder) {
  const struct {
    const char* path;
    const char* expected;
  } cases[] = {
      {"/opt/panel/tianqi_ICON/black/qing.gif", "/opt/panel/tianqi_ICON/black@2x/qing.gif"},
      {"C:\\panel\\tianqi_ICON\\black\\qing.gif", "C:\\panel\\tianqi_ICON\\black@2x\\qing.gif"},
      {"black/qing.gif", "black@2x/qing.gif"},
      {"/srv/a.b/black/qing.gif", "/srv/a.b/black@2x/qing.gif"},
      {"qing.gif", ""},   // no folder to be beside
      {"/qing.gif", ""},  // the root is no set folder
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HiDpiIconPath(QString::fromUtf8(c.path)), QString::fromUtf8(c.expected)) << c.path;
  }
}

TEST(IconPictureTest, EveryShippedIconHasA2xSiblingOfTwiceItsSize) {
  const QDir set(ShippedFolder());
  const QStringList icons = set.entryList({QStringLiteral("*.gif")}, QDir::Files);
  ASSERT_GE(icons.size(), 9);
  for (const QString& file : icons) {
    SCOPED_TRACE(file.toStdString());
    const QImage one(set.filePath(file));
    const QImage two(HiDpiIconPath(set.filePath(file)));
    ASSERT_FALSE(one.isNull());
    ASSERT_FALSE(two.isNull());
    EXPECT_EQ(one.size(), QSize(32, 32));
    EXPECT_EQ(two.size(), one.size() * kHiDpiIconScale);
  }
}

TEST(IconPictureTest, ShowsThePixelsThatFitTheScreenInTheSameRoom) {
  const struct {
    double ratio;
    bool from_2x;
    int device_pixels;
  } cases[] = {
      {1.0, false, 32}, {1.25, true, 40}, {1.5, true, 48}, {2.0, true, 64}, {3.0, true, 96},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ratio);
    const IconPicture picture = ReadIconPicture(Shipped1x("yun"), c.ratio);
    EXPECT_EQ(picture.shown_file, c.from_2x ? Shipped2x("yun") : Shipped1x("yun"));
    EXPECT_EQ(picture.logical_size, QSize(32, 32));
    EXPECT_EQ(picture.pixmap.size(), QSize(c.device_pixels, c.device_pixels));
    EXPECT_DOUBLE_EQ(picture.pixmap.devicePixelRatio(), c.ratio);
    EXPECT_EQ(picture.pixmap.deviceIndependentSize(), QSizeF(32, 32));
  }
}

TEST(IconPictureTest, ExactRatiosShowTheFilesPixelsUnchanged) {
  EXPECT_EQ(Argb(ReadIconPicture(Shipped1x("lei"), 1.0).pixmap.toImage()),
            Argb(QImage(Shipped1x("lei"))));
  EXPECT_EQ(Argb(ReadIconPicture(Shipped1x("lei"), 2.0).pixmap.toImage()),
            Argb(QImage(Shipped2x("lei"))));
}

class IconFallbackTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("black")));
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("black@2x")));
  }
  QString OneX(const char* name) const {
    return dir_.filePath(QStringLiteral("black/") + QLatin1String(name) + ".gif");
  }
  static void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
  }
  QTemporaryDir dir_;
};

TEST_F(IconFallbackTest, WithoutAReadable2xFileThe1xPixelsAreShown) {
  ASSERT_TRUE(QFile::copy(Shipped1x("qing"), OneX("qing")));
  ASSERT_TRUE(QFile::copy(Shipped1x("yu"), OneX("yu")));
  Write(HiDpiIconPath(OneX("yu")), "no picture here");
  for (const char* name : {"qing", "yu"}) {  // 2x missing, 2x unreadable
    for (const double ratio : {1.5, 2.0}) {
      SCOPED_TRACE(std::string(name) + " at " + std::to_string(ratio));
      const IconPicture picture = ReadIconPicture(OneX(name), ratio);
      EXPECT_EQ(picture.shown_file, OneX(name));
      EXPECT_EQ(picture.logical_size, QSize(32, 32));
      EXPECT_EQ(picture.pixmap.deviceIndependentSize(), QSizeF(32, 32));
    }
  }
}

TEST_F(IconFallbackTest, The1xFileDecidesFailureOnEveryScreen) {
  // A 2x file alone is no icon, and a 1x file that is no picture fails even
  // where a good 2x file would be shown.
  ASSERT_TRUE(QFile::copy(Shipped2x("xue"), HiDpiIconPath(OneX("xue"))));
  Write(OneX("bad"), "no picture here");
  ASSERT_TRUE(QFile::copy(Shipped2x("xue"), HiDpiIconPath(OneX("bad"))));
  const struct {
    const char* name;
    const char* description;
  } cases[] = {{"xue", "file not found: "}, {"bad", "not a picture: "}};
  for (const auto& c : cases) {
    for (const double ratio : {1.0, 2.0}) {
      SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(ratio));
      try {
        ReadIconPicture(OneX(c.name), ratio);
        ADD_FAILURE() << "no error";
      } catch (const RunError& e) {
        EXPECT_EQ(e.Number(), ErrorNumber::kInvalidArgument);
        EXPECT_EQ(QString::fromStdString(e.what()), QLatin1String(c.description) + OneX(c.name));
      }
    }
  }
}

}  // namespace
}  // namespace skyvane
