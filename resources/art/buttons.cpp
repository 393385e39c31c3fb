// Button faces: sex symbols, region icons and the confirm button (48 x 48), the step arrows
// (48 x 24) and the six buttons of the main window (96 x 64, stretched to about 100 x 70).
#include <QPainter>
#include <functional>

#include "resources/art/artwork.h"

namespace ostrelin::art {
namespace {

using Symbol = std::function<void(QPainter&, const QColor&)>;

QImage Button(int width, int height, FaceState state, const Symbol& symbol,
              const QColor& accent = palette::kAccent) {
  QImage image = Canvas(width, height);
  const QPointF shift = PaintFace(image, state, width >= 96 ? 8.0 : 6.0);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(shift);
  symbol(p, SymbolColour(state, accent));
  p.end();
  return image.convertToFormat(QImage::Format_RGB32);
}

QPen Line(const QColor& colour, qreal width) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// What follows is drawn as lines only: the round pen of `width`, nothing filled.
void Stroke(QPainter& p, const QColor& colour, qreal width) {
  p.setPen(Line(colour, width));
  p.setBrush(Qt::NoBrush);
}

// --- 48 x 48 ---------------------------------------------------------------------------------

void Venus(QPainter& p, const QColor& colour) {
  Stroke(p, colour, 3.2);
  p.drawEllipse(QPointF(24, 18), 9.5, 9.5);
  p.drawLine(QPointF(24, 27.5), QPointF(24, 42));
  p.drawLine(QPointF(17.5, 35.5), QPointF(30.5, 35.5));
}

void Mars(QPainter& p, const QColor& colour) {
  Stroke(p, colour, 3.2);
  p.drawEllipse(QPointF(20.5, 27.5), 9.5, 9.5);
  p.drawLine(QPointF(27.2, 20.8), QPointF(37, 11));
  p.drawLine(QPointF(27.5, 11), QPointF(37, 11));
  p.drawLine(QPointF(37, 11), QPointF(37, 20.5));
}

void Fill(QPainter& p, const QColor& colour, const QPainterPath& path) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(path.simplified());
}

void HeadIcon(QPainter& p, const QColor& colour) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  path.addEllipse(QPointF(24, 17), 8.5, 10.5);
  path = path.united(Limb({{24, 26}, {24, 32}}, {4.5, 5.0}));
  path = path.united(MirroredOutline({{5, 31.5}, {14, 33}, {17, 35}, {18, 41}, {0, 41}}, 24));
  Fill(p, colour, path);
}

void TrunkIcon(QPainter& p, const QColor& colour) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  path = path.united(MirroredOutline({{4, 5},
                                      {4, 9},
                                      {13, 11},
                                      {15, 16},
                                      {12, 24},
                                      {10, 30},
                                      {13, 37},
                                      {12, 43},
                                      {2, 43},
                                      {0, 38}},
                                     24));
  Fill(p, colour, path);
}

void ArmIcon(QPainter& p, const QColor& colour) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  path = path.united(Limb({{18, 8}, {21, 22}, {25, 33}}, {5.5, 4.5, 3.2}));
  path = path.united(Limb({{26, 35}, {28, 40}}, {4.2, 3.8}));
  path = path.united(Limb({{22.5, 35}, {21, 38.5}}, {1.8, 1.5}));
  Fill(p, colour, path);
}

void LegIcon(QPainter& p, const QColor& colour) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  path = path.united(
      Limb({{22, 7}, {23, 16}, {24, 25}, {24, 31}, {24, 38}}, {7.0, 5.8, 4.2, 4.6, 2.8}));
  path = path.united(Limb({{24, 40}, {30, 41.5}}, {2.8, 2.3}));
  Fill(p, colour, path);
}

// --- 48 x 24 ---------------------------------------------------------------------------------

// A solid triangle pointing `angle` degrees clockwise from up.
Symbol Arrow(qreal angle) {
  return [angle](QPainter& p, const QColor& colour) {
    p.translate(24, 12);
    p.rotate(angle);
    QPainterPath triangle;
    triangle.moveTo(0, -6.5);
    triangle.lineTo(8, 5);
    triangle.lineTo(-8, 5);
    triangle.closeSubpath();
    p.setPen(Line(colour, 2.0));
    p.setBrush(colour);
    p.drawPath(triangle);
  };
}

// --- 96 x 64 ---------------------------------------------------------------------------------

void SliceSymbol(QPainter& p, const QColor& c) {  // a body section cut by a plane
  Stroke(p, c, 2.0);
  p.drawEllipse(QPointF(48, 19), 13, 7.5);
  p.drawEllipse(QPointF(48, 19), 4, 3);
  p.drawLine(QPointF(26, 27), QPointF(70, 11));
}

void CtSymbol(QPainter& p, const QColor& c) {  // a gantry ring with the couch
  Stroke(p, c, 3.0);
  p.drawEllipse(QPointF(48, 18), 11, 11);
  p.setPen(Line(c, 2.0));
  p.drawLine(QPointF(30, 24), QPointF(66, 24));
}

void MrSymbol(QPainter& p, const QColor& c) {  // a magnet with its field
  Stroke(p, c, 2.0);
  p.drawArc(QRectF(33, 6, 30, 26), 30 * 16, 120 * 16);
  p.drawArc(QRectF(33, 6, 30, 26), 210 * 16, 120 * 16);
  p.drawArc(QRectF(39, 11, 18, 16), 30 * 16, 120 * 16);
  p.drawArc(QRectF(39, 11, 18, 16), 210 * 16, 120 * 16);
  p.setBrush(c);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(48, 19), 3, 3);
}

void SchemaSymbol(QPainter& p, const QColor& c) {  // an outline drawing with a pointer line
  Stroke(p, c, 2.0);
  p.drawPath(SmoothClosed({{36, 18}, {44, 8}, {56, 10}, {60, 20}, {52, 29}, {40, 28}}));
  p.drawLine(QPointF(50, 18), QPointF(68, 12));
  p.drawLine(QPointF(68, 12), QPointF(74, 12));
}

void IndexSymbol(QPainter& p, const QColor& c) {  // a list of names
  p.setPen(Line(c, 2.2));
  for (int i = 0; i < 4; ++i) {
    const qreal y = 9 + i * 6;
    p.drawPoint(QPointF(36, y));
    p.drawLine(QPointF(41, y), QPointF(i % 2 ? 56 : 61, y));
  }
}

void PictureSymbol(QPainter& p, const QColor& c) {  // a framed figure
  Stroke(p, c, 2.0);
  p.drawRoundedRect(QRectF(36, 6, 24, 25), 2, 2);
  QPainterPath figure;
  figure.setFillRule(Qt::WindingFill);
  figure.addEllipse(QPointF(48, 13.5), 3, 3.5);
  figure = figure.united(MirroredOutline({{3, 18}, {6, 20}, {5, 28}, {0, 28}}, 48));
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPath(figure.simplified());
}

void HelpSymbol(QPainter& p, const QColor& c, const Lettering& lettering) {
  Stroke(p, c, 2.0);
  p.drawEllipse(QPointF(48, 18.5), 11, 11);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPath(lettering.Centred(QStringLiteral("?"), 17, QPointF(48, 18.5)));
}

}  // namespace

std::vector<Artwork> DrawButtons(const Lettering& lettering) {
  std::vector<Artwork> all;
  const QString folder = QStringLiteral("bitmaps");
  const auto add = [&](const QString& name, QImage image) {
    all.push_back({folder, name, std::move(image)});
  };

  add(QStringLiteral("FEMALE_UP"), Button(48, 48, FaceState::kUp, Venus, palette::kFemale));
  add(QStringLiteral("FEMALE_DOWN"), Button(48, 48, FaceState::kDown, Venus, palette::kFemale));
  add(QStringLiteral("MALE_UP"), Button(48, 48, FaceState::kUp, Mars));
  add(QStringLiteral("MALE_DOWN"), Button(48, 48, FaceState::kDown, Mars));
  add(QStringLiteral("KOPF_UP"), Button(48, 48, FaceState::kUp, HeadIcon));
  add(QStringLiteral("RUMPF_UP"), Button(48, 48, FaceState::kUp, TrunkIcon));
  add(QStringLiteral("ARM_UP"), Button(48, 48, FaceState::kUp, ArmIcon));
  add(QStringLiteral("BEIN_UP"), Button(48, 48, FaceState::kUp, LegIcon));
  const Symbol ok = [&](QPainter& p, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(lettering.Centred(QStringLiteral("OK"), 21, QPointF(24, 24)));
  };
  add(QStringLiteral("ENTER_UP"), Button(48, 48, FaceState::kUp, ok));
  add(QStringLiteral("ENTER_DOWN"), Button(48, 48, FaceState::kDown, ok));

  const std::pair<const char*, qreal> arrows[] = {
      {"UP", 0}, {"DOWN", 180}, {"LEFT", 270}, {"RIGHT", 90}};
  for (const auto& [name, angle] : arrows) {
    add(QString::fromLatin1(name) + QStringLiteral("_UP"),
        Button(48, 24, FaceState::kUp, Arrow(angle)));
    add(QString::fromLatin1(name) + QStringLiteral("_DOWN"),
        Button(48, 24, FaceState::kDown, Arrow(angle)));
  }

  struct MainButton {
    const char* name;
    QString caption;
    Symbol symbol;
  };
  const MainButton mainButtons[] = {
      {"SCHNITT", QStringLiteral("Schnitt"), SliceSymbol},
      {"CT", QStringLiteral("CT"), CtSymbol},
      {"MR", QStringLiteral("MR"), MrSymbol},
      {"SCHEMA", QStringLiteral("Schema"), SchemaSymbol},
      {"IDX", QStringLiteral("Index"), IndexSymbol},
      {"BILD", QStringLiteral("Bild"), PictureSymbol},
      {"HILFE", QStringLiteral("Hilfe"),
       [&](QPainter& p, const QColor& c) { HelpSymbol(p, c, lettering); }},
  };
  const std::pair<const char*, FaceState> states[] = {
      {"_UP", FaceState::kUp}, {"_DOWN", FaceState::kDown}, {"_DISABLED", FaceState::kDisabled}};
  for (const MainButton& button : mainButtons) {
    for (const auto& [suffix, state] : states) {
      const Symbol face = [&](QPainter& p, const QColor& c) {
        button.symbol(p, c);
        p.setPen(Qt::NoPen);
        p.setBrush(state == FaceState::kDisabled ? palette::kGreyed : palette::kInk);
        p.drawPath(lettering.Centred(button.caption, 15, QPointF(48, 47)));
      };
      add(QString::fromLatin1(button.name) + QString::fromLatin1(suffix),
          Button(96, 64, state, face));
    }
  }
  return all;
}

}  // namespace ostrelin::art
