// One picture of the whole set, each piece labelled with its name, for reviewing the artwork.
#include <QPainter>
#include <algorithm>

#include "resources/art/artwork.h"

namespace ostrelin::art {

QImage ContactSheet(const std::vector<Artwork>& artworks, const Lettering& lettering) {
  constexpr int kWidth = 1400, kGap = 14, kLabel = 16;
  // Small pieces are shown at twice their size so their pixels can be judged.
  const auto scale = [](const QImage& image) { return image.width() <= 96 ? 2 : 1; };

  // Lay the pieces out in rows first, to know the height.
  struct Placed {
    const Artwork* artwork;
    QRect rect;
  };
  std::vector<Placed> placed;
  int x = kGap, y = kGap, rowHeight = 0;
  QString lastKind;
  for (const Artwork& artwork : artworks) {
    const QSize size = artwork.image.size() * scale(artwork.image);
    const int cellWidth = std::max(size.width(), 100);
    // A new kind of piece (other size) starts a new row, so the sheet reads by groups.
    const QString kind =
        QStringLiteral("%1x%2").arg(artwork.image.width()).arg(artwork.image.height());
    const bool newGroup = !lastKind.isEmpty() && kind != lastKind &&
                          !(artwork.image.width() == 48 && lastKind.startsWith("48x"));
    if (x + cellWidth > kWidth - kGap || (newGroup && x > kGap)) {
      x = kGap;
      y += rowHeight + kLabel + kGap;
      rowHeight = 0;
    }
    placed.push_back({&artwork, QRect(QPoint(x, y), size)});
    x += cellWidth + kGap;
    rowHeight = std::max(rowHeight, size.height());
    lastKind = kind;
  }
  const int height = y + rowHeight + kLabel + kGap;

  QImage sheet(kWidth, height, QImage::Format_RGB32);
  sheet.fill(QColor(236, 238, 240));
  QPainter p(&sheet);
  for (const Placed& piece : placed) {
    const QImage& image = piece.artwork->image;
    if (image.hasAlphaChannel()) {  // a checkerboard behind transparent pieces
      for (int cy = 0; cy < piece.rect.height(); cy += 8) {
        for (int cx = 0; cx < piece.rect.width(); cx += 8) {
          p.fillRect(piece.rect.x() + cx, piece.rect.y() + cy, 8, 8,
                     ((cx + cy) / 8) % 2 ? QColor(204, 204, 204) : QColor(255, 255, 255));
        }
      }
    }
    p.drawImage(piece.rect, image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kInk);
    p.drawPath(lettering.Path(piece.artwork->name, 11)
                   .translated(piece.rect.left(), piece.rect.bottom() + 13));
    p.setRenderHint(QPainter::Antialiasing, false);
  }
  p.end();
  return sheet;
}

}  // namespace ostrelin::art
