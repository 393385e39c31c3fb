// Drawing helpers shared by every picture: lettering, faces, limbs, smooth outlines, 256 colours.
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

#include "resources/art/artwork.h"

namespace ostrelin::art {

QPainterPath Lettering::Path(const QString& text, qreal pixelSize) const {
  QRawFont font = font_;
  font.setPixelSize(pixelSize);
  const QList<quint32> glyphs = font.glyphIndexesForString(text);
  const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
  QPainterPath path;
  QPointF pen(0, 0);
  for (qsizetype i = 0; i < glyphs.size(); ++i) {
    path.addPath(font.pathForGlyph(glyphs[i]).translated(pen));
    pen += advances[i];
  }
  return path;
}

QPainterPath Lettering::Centred(const QString& text, qreal pixelSize, QPointF centre) const {
  const QPainterPath path = Path(text, pixelSize);
  return path.translated(centre - path.boundingRect().center());
}

QImage Canvas(int width, int height, const QColor& fill) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

QPointF PaintFace(QImage& image, FaceState state, qreal radius) {
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF rect = QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient shade(rect.topLeft(), rect.bottomLeft());
  switch (state) {
    case FaceState::kUp:
      shade.setColorAt(0, palette::kFaceTop);
      shade.setColorAt(1, palette::kFaceBottom);
      break;
    case FaceState::kDown:
      shade.setColorAt(0, palette::kFacePressedTop);
      shade.setColorAt(1, palette::kFacePressedBottom);
      break;
    case FaceState::kDisabled:
      shade.setColorAt(0, palette::kFaceDisabled);
      shade.setColorAt(1, palette::kFaceDisabled);
      break;
  }
  // The ground behind the rounded corners is the main window's grey, so a stretched button sits
  // on it without a visible box.
  p.fillRect(image.rect(), QColor(197, 197, 197));
  p.setPen(QPen(state == FaceState::kDisabled ? palette::kGreyed : palette::kBorder, 1.0));
  p.setBrush(shade);
  p.drawRoundedRect(rect, radius, radius);
  if (state == FaceState::kUp) {  // a thin highlight along the top edge
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.0));
    p.drawLine(QPointF(rect.left() + radius, rect.top() + 1.0),
               QPointF(rect.right() - radius, rect.top() + 1.0));
  }
  return state == FaceState::kDown ? QPointF(1, 1) : QPointF(0, 0);
}

QColor SymbolColour(FaceState state, const QColor& accent) {
  switch (state) {
    case FaceState::kUp: return accent;
    case FaceState::kDown: return accent.darker(135);
    case FaceState::kDisabled: return palette::kGreyed;
  }
  return accent;
}

QPainterPath Limb(const std::vector<QPointF>& points, const std::vector<qreal>& radii) {
  // Joint circles and the tapered pieces between them, united so that overlaps leave no seams.
  QPainterPath limb;
  for (size_t i = 0; i < points.size(); ++i) {
    QPainterPath joint;
    joint.addEllipse(points[i], radii[i], radii[i]);
    limb = limb.united(joint);
    if (i + 1 == points.size()) break;
    const QPointF a = points[i], b = points[i + 1];
    const QPointF d = b - a;
    const qreal length = std::hypot(d.x(), d.y());
    if (length <= 0) continue;
    const QPointF n(-d.y() / length, d.x() / length);
    QPolygonF quad;
    quad << a + n * radii[i] << b + n * radii[i + 1] << b - n * radii[i + 1] << a - n * radii[i]
         << a + n * radii[i];
    QPainterPath piece;
    piece.addPolygon(quad);
    limb = limb.united(piece);
  }
  return limb;
}

namespace {

void AppendCatmullRom(QPainterPath& path, const QPointF& p0, const QPointF& p1, const QPointF& p2,
                      const QPointF& p3) {
  path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
}

}  // namespace

QPainterPath SmoothClosed(const std::vector<QPointF>& points) {
  QPainterPath path;
  const size_t n = points.size();
  if (n < 3) return path;
  path.moveTo(points[0]);
  for (size_t i = 0; i < n; ++i) {
    AppendCatmullRom(path, points[(i + n - 1) % n], points[i], points[(i + 1) % n],
                     points[(i + 2) % n]);
  }
  path.closeSubpath();
  return path;
}

QPainterPath SmoothOpen(const std::vector<QPointF>& points) {
  QPainterPath path;
  const size_t n = points.size();
  if (n < 2) return path;
  path.moveTo(points[0]);
  for (size_t i = 0; i + 1 < n; ++i) {
    AppendCatmullRom(path, points[i == 0 ? 0 : i - 1], points[i], points[i + 1],
                     points[std::min(i + 2, n - 1)]);
  }
  return path;
}

QPainterPath MirroredOutline(const std::vector<QPointF>& half, qreal axis) {
  std::vector<QPointF> all;
  for (const QPointF& point : half) all.emplace_back(axis + point.x(), point.y());
  // Points on the axis are shared by both sides, not repeated (a repeat would kink the curve).
  for (auto it = half.rbegin(); it != half.rend(); ++it) {
    if (it->x() != 0) all.emplace_back(axis - it->x(), it->y());
  }
  return SmoothClosed(all);
}

QImage ToIndexed(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  std::map<QRgb, int> counts;  // ordered, so ties always break the same way
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) ++counts[line[x] | 0xff000000u];
  }

  QList<QRgb> table;
  if (counts.size() <= 256) {
    for (const auto& entry : counts) table.push_back(entry.first);
  } else {
    struct Cell {
      int total = 0;
      QRgb best = 0;
      int bestCount = 0;
    };
    std::map<int, Cell> cells;
    for (const auto& [colour, count] : counts) {
      const int key = (qRed(colour) >> 3) << 10 | (qGreen(colour) >> 3) << 5 | qBlue(colour) >> 3;
      Cell& cell = cells[key];
      cell.total += count;
      if (count > cell.bestCount) cell.best = colour, cell.bestCount = count;
    }
    std::vector<std::pair<int, QRgb>> ranked;
    for (const auto& [key, cell] : cells) ranked.emplace_back(cell.total, cell.best);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t i = 0; i < ranked.size() && i < 256; ++i) table.push_back(ranked[i].second);
  }

  std::unordered_map<QRgb, uchar> nearest;
  for (const auto& entry : counts) {
    const QRgb c = entry.first;
    int best = 0;
    long bestDistance = -1;
    for (qsizetype i = 0; i < table.size(); ++i) {
      const long dr = qRed(c) - qRed(table[i]), dg = qGreen(c) - qGreen(table[i]),
                 db = qBlue(c) - qBlue(table[i]);
      const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
      if (bestDistance < 0 || distance < bestDistance)
        best = static_cast<int>(i), bestDistance = distance;
    }
    nearest[c] = static_cast<uchar>(best);
  }

  QImage indexed(rgb.size(), QImage::Format_Indexed8);
  indexed.setColorTable(table);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* out = indexed.scanLine(y);
    for (int x = 0; x < rgb.width(); ++x) out[x] = nearest.at(in[x] | 0xff000000u);
  }
  return indexed;
}

}  // namespace ostrelin::art
