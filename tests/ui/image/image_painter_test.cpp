// Painting the image object on a plain widget: the zoomed bitmap at (0, 20) without a copy, the
// status strip with the zoom, and the scroll-bar state.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QWidget>

#include "image/core/jpg_bild.h"
#include "image/ui/image_painter.h"
#include "platform/core/scripted_message_service.h"
#include "tests/support/painted_image.h"

namespace ostrelin {
namespace {

// Stands in for the image window: paints the image object and nothing else.
class Canvas : public QWidget {
 public:
  explicit Canvas(JpgBild& bild) : bild_(bild) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PaintJpgBild(painter, bild_);
  }

 private:
  JpgBild& bild_;
};

// Left half red, right half blue; the top row green. Bytes in blue, green, red order.
SourceImage Halves(int width, int height) {
  return test::PaintedImage(width, height, [&](int c, int r) {
    const bool top = r == height - 1;
    return Bgr{std::uint8_t(!top && c >= width / 2 ? 255 : 0), std::uint8_t(top ? 255 : 0),
               std::uint8_t(!top && c < width / 2 ? 255 : 0)};
  });
}

QImage Render(QWidget& widget) {
  QImage out(widget.size(), QImage::Format_RGB32);
  out.fill(Qt::white);
  widget.render(&out);
  return out;
}

TEST(ImagePainter, ZoomedBitmapIsWrappedWithoutACopy) {
  ScriptedMessageService messages;
  JpgBild bild(Halves(40, 30), {120, 120}, messages);
  EXPECT_TRUE(ZoomedImage(bild).isNull());
  bild.SetZoom(2.0f, 20, 15, true);
  const QImage zoomed = ZoomedImage(bild);
  EXPECT_EQ(zoomed.constBits(), bild.ZoomedTop());
  EXPECT_EQ(zoomed.size(), QSize(124, 100));
  EXPECT_EQ(zoomed.format(), QImage::Format_RGB32);
  // Bitmap row 0 is the bottom; QImage's row 0 is the top. Image row 0 is bitmap row 30 (the
  // vertical margin), so QImage row 99 - 30; the margin to the left is 20.
  EXPECT_EQ(zoomed.pixelColor(30, 69), QColor(255, 0, 0));
  EXPECT_EQ(zoomed.pixelColor(70, 69), QColor(0, 0, 255));
  EXPECT_EQ(zoomed.pixelColor(70, 70), QColor(0, 0, 0));
}

TEST(ImagePainter, PaintsTheImageBelowTheStripAndTheZoomInIt) {
  ScriptedMessageService messages;
  JpgBild bild(Halves(40, 30), {160, 140}, messages);
  bild.SetZoom(2.0f, 20, 15, true);  // 80 x 60 in 160 x 120: margins 40 and 40
  ASSERT_EQ(bild.HorizontalMargin(), 40);
  ASSERT_EQ(bild.VerticalMargin(), 40);
  Canvas canvas(bild);
  canvas.resize(160, 140);
  const QImage out = Render(canvas);

  // Zoomed row d is window row 20 + 119 - d. Image row 0 is zoomed rows 40 and 41.
  const int bottomY = 20 + 119 - 40;
  EXPECT_EQ(out.pixelColor(40, bottomY), QColor(255, 0, 0));
  EXPECT_EQ(out.pixelColor(79, bottomY), QColor(255, 0, 0));
  EXPECT_EQ(out.pixelColor(80, bottomY), QColor(0, 0, 255));
  EXPECT_EQ(out.pixelColor(119, bottomY - 1), QColor(0, 0, 255));
  // The top image row (zoomed rows 98, 99) is green; the margins are black.
  EXPECT_EQ(out.pixelColor(60, 20 + 119 - 99), QColor(0, 255, 0));
  EXPECT_EQ(out.pixelColor(60, 20 + 119 - 100), QColor(0, 0, 0));
  EXPECT_EQ(out.pixelColor(39, bottomY), QColor(0, 0, 0));
  EXPECT_EQ(out.pixelColor(60, 139), QColor(0, 0, 0));

  // The strip: light grey across, the zoom text in the left part.
  EXPECT_EQ(out.pixelColor(155, 2), QColor(192, 192, 192));
  EXPECT_EQ(out.pixelColor(0, 19), QColor(192, 192, 192));
  int ink = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 120; ++x) ink += out.pixelColor(x, y).lightness() < 128;
  EXPECT_GT(ink, 20) << "\"  Zoom: 2.00   \" is written";

  // A plotted point shows at once on the next paint, where its pixel is.
  const ImagePoint corner{0, 0};
  bild.PlotPoints({255, 255, 255}, {&corner, 1});
  EXPECT_EQ(Render(canvas).pixelColor(41, bottomY - 1), QColor(255, 255, 255));
}

TEST(ImagePainter, PaintUpdatesTheScrollBarsTheWindowApplies) {
  ScriptedMessageService messages;
  JpgBild bild(Halves(400, 300), {200, 170}, messages);
  bild.SetZoom(1.0f, 300, 200, true);
  Canvas canvas(bild);
  canvas.resize(200, 170);
  EXPECT_EQ(bild.ScrollBars().horizontalMax, 30);  // until the first paint
  Render(canvas);
  const ScrollBarState state = bild.ScrollBars();
  EXPECT_EQ(state.horizontalMax, 200);  // 400 - 200
  EXPECT_EQ(state.verticalMax, 149);    // 170 - 299 - 20
  EXPECT_EQ(state.horizontalPosition, -bild.HorizontalOffset());
  EXPECT_EQ(state.verticalPosition, -bild.VerticalOffset());

  QWidget window;
  QScrollBar horizontal(Qt::Horizontal, &window);
  QScrollBar vertical(Qt::Vertical, &window);
  ApplyScrollBars(state, horizontal, vertical);
  EXPECT_EQ(horizontal.maximum(), 200);
  EXPECT_EQ(horizontal.value(), state.horizontalPosition);
  EXPECT_EQ(vertical.maximum(), 149);
  EXPECT_EQ(vertical.value(), state.verticalPosition);
}

}  // namespace
}  // namespace ostrelin
