// Label images read through Qt: indexed and grey PNG and BMP files, rows top first.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>

#include "authoring/ui/label_image.h"
#include "tests/support/temp_tree.h"

namespace ostrelin {
namespace {

QString QtPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// 3 x 2 pixels: values 0 1 2 on top, 7 0 255 below.
QImage Indexed() {
  QImage image(3, 2, QImage::Format_Indexed8);
  QVector<QRgb> palette;
  for (int i = 0; i < 256; ++i) palette.push_back(qRgb(i, 255 - i, (i * 7) & 0xFF));
  image.setColorTable(palette);
  const int values[2][3] = {{0, 1, 2}, {7, 0, 255}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) image.setPixel(x, y, uint(values[y][x]));
  }
  return image;
}

TEST(LabelImageTest, IndexedAndGreyFilesGiveTheirValues) {
  test::TempTree tree;
  const std::vector<std::uint8_t> expected{0, 1, 2, 7, 0, 255};
  for (const char* name : {"labels.png", "labels.bmp"}) {
    const std::filesystem::path path = tree.Root() / name;
    ASSERT_TRUE(Indexed().save(QtPath(path)));
    LabelImage image;
    std::string error;
    ASSERT_TRUE(LoadLabelImage(path, image, error)) << name << ": " << error;
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.values, expected) << name;
  }
  QImage grey = Indexed().convertToFormat(QImage::Format_Grayscale8);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      const int value = expected[size_t(y * 3 + x)];
      grey.setPixel(x, y, qRgb(value, value, value));
    }
  }
  const std::filesystem::path greyPath = tree.Root() / "grey.png";
  ASSERT_TRUE(grey.save(QtPath(greyPath)));
  LabelImage image;
  std::string error;
  ASSERT_TRUE(LoadLabelImage(greyPath, image, error)) << error;
  EXPECT_EQ(image.values, expected);
}

TEST(LabelImageTest, ColoursAndNonImagesAreRefused) {
  test::TempTree tree;
  QImage colour(2, 2, QImage::Format_RGB32);
  colour.fill(QColor(10, 20, 30));
  const std::filesystem::path colourPath = tree.Root() / "colour.png";
  ASSERT_TRUE(colour.save(QtPath(colourPath)));
  LabelImage image;
  image.width = 99;
  std::string error;
  EXPECT_FALSE(LoadLabelImage(colourPath, image, error));
  EXPECT_EQ(error, "colour image: label images must be 8-bit indexed or grey");
  EXPECT_EQ(image.width, 99);

  const std::filesystem::path text = tree.Write("labels.png", "not an image");
  EXPECT_FALSE(LoadLabelImage(text, image, error));
  EXPECT_EQ(error.rfind("cannot read the image", 0), 0u) << error;
  EXPECT_FALSE(LoadLabelImage(tree.Root() / "missing.bmp", image, error));
}

}  // namespace
}  // namespace ostrelin
