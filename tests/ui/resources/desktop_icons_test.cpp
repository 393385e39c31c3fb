// The desktop icons artgen writes for the hicolor theme: every size is there and the SVG draws
// what the pictures show.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace ostrelin {
namespace {

const QString kFolder = QStringLiteral(OSTRELIN_DESKTOP_ICONS_DIR);

QImage Png(int size) {
  return QImage(kFolder + QStringLiteral("/%1x%1/apps/de.ostrelin.Ostrelin.png").arg(size))
      .convertToFormat(QImage::Format_ARGB32);
}

// Mean difference per channel (0..255) over two pictures of one size.
double MeanDifference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      sum += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
             std::abs(p.blue() - q.blue()) + std::abs(p.alpha() - q.alpha());
    }
  }
  return sum / (4.0 * a.width() * a.height());
}

TEST(DesktopIcons, EveryHicolorSizeAndTheSvgShowTheProgramIcon) {
  const QImage reference = Png(256);
  ASSERT_EQ(reference.size(), QSize(256, 256));
  for (const int size : {16, 22, 24, 32, 48, 64, 128}) {
    const QImage png = Png(size);
    ASSERT_EQ(png.size(), QSize(size, size)) << size;
    const QImage scaled =
        reference.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(MeanDifference(png, scaled), 12.0) << size;
  }

  QSvgRenderer svg(kFolder + QStringLiteral("/scalable/apps/de.ostrelin.Ostrelin.svg"));
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox(), QRect(0, 0, 64, 64));
  QImage drawn(256, 256, QImage::Format_ARGB32);
  drawn.fill(Qt::transparent);
  QPainter p(&drawn);
  p.setRenderHint(QPainter::Antialiasing);
  svg.render(&p);
  p.end();
  EXPECT_LT(MeanDifference(drawn, reference), 4.0);
  // Not an empty or blank drawing: the corners are clear, the middle is not.
  EXPECT_EQ(drawn.pixelColor(0, 0).alpha(), 0);
  EXPECT_EQ(drawn.pixelColor(128, 128).alpha(), 255);
}

}  // namespace
}  // namespace ostrelin
