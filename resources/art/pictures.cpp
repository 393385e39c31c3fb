// The pictures of the start dialog (information picture, quick overview, logo), the program icon
// and the three cursors of the image window and the text panel.
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "resources/art/artwork.h"

namespace ostrelin::art {
namespace {

QPen Line(const QColor& colour, qreal width) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A closed outline around `centre` whose radius follows `radius(angle)`.
template <typename Radius>
QPainterPath Around(QPointF centre, int points, Radius radius) {
  std::vector<QPointF> outline;
  for (int i = 0; i < points; ++i) {
    const qreal angle = 2 * std::numbers::pi * i / points;
    const QPointF r = radius(angle);
    outline.emplace_back(centre.x() + r.x() * std::sin(angle),
                         centre.y() - r.y() * std::cos(angle));
  }
  return SmoothClosed(outline);
}

// A stylised axial section through the head at the level of the lateral ventricles, the front at
// the top, fitted into an ellipse of half-axes `rx`, `ry`.
void HeadSection(QPainter& p, QPointF c, qreal rx, qreal ry) {
  const auto ellipse = [&](qreal sx, qreal sy) {
    return [=](qreal) { return QPointF(rx * sx, ry * sy); };
  };
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(226, 188, 166));  // scalp
  p.drawPath(Around(c, 48, ellipse(1.0, 1.0)));
  p.setBrush(QColor(250, 246, 236));  // skull
  p.drawPath(Around(c, 48, ellipse(0.93, 0.94)));
  p.setBrush(QColor(184, 162, 164));  // cortex
  p.drawPath(Around(c, 48, ellipse(0.86, 0.875)));
  // White matter: the cortex folds in as sulci, so its border undulates.
  p.setBrush(QColor(238, 230, 226));
  p.drawPath(Around(c, 160, [&](qreal a) {
    const qreal fold = 0.70 + 0.07 * std::cos(14 * a) + 0.02 * std::cos(23 * a + 1.0);
    return QPointF(rx * fold, ry * (fold + 0.02));
  }));
  // The falx between the hemispheres, front and back.
  p.setPen(Line(QColor(184, 162, 164), 3.0));
  p.drawLine(QPointF(c.x(), c.y() - ry * 0.87), QPointF(c.x(), c.y() - ry * 0.42));
  p.drawLine(QPointF(c.x(), c.y() + ry * 0.45), QPointF(c.x(), c.y() + ry * 0.87));
  // Lateral ventricles: two crescents, and the basal nuclei beside them.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(206, 192, 192));
  for (const qreal side : {-1.0, 1.0}) {
    p.drawEllipse(QPointF(c.x() + side * rx * 0.36, c.y() - ry * 0.02), rx * 0.13, ry * 0.2);
  }
  p.setBrush(QColor(52, 66, 92));
  for (const qreal side : {-1.0, 1.0}) {
    QPainterPath ventricle;
    const qreal x = c.x() + side * rx * 0.05;
    ventricle.moveTo(x, c.y() - ry * 0.38);
    ventricle.cubicTo(x + side * rx * 0.26, c.y() - ry * 0.34, x + side * rx * 0.16,
                      c.y() - ry * 0.05, x + side * rx * 0.12, c.y() + ry * 0.1);
    ventricle.cubicTo(x + side * rx * 0.1, c.y() + ry * 0.25, x + side * rx * 0.26,
                      c.y() + ry * 0.32, x + side * rx * 0.22, c.y() + ry * 0.42);
    ventricle.cubicTo(x + side * rx * 0.08, c.y() + ry * 0.34, x + side * rx * 0.02,
                      c.y() + ry * 0.2, x, c.y() + ry * 0.05);
    ventricle.closeSubpath();
    p.drawPath(ventricle);
  }
}

QImage Information(const Lettering& lettering) {
  QImage image = Canvas(335, 335);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient ground(0, 0, 0, 335);
  ground.setColorAt(0, QColor(16, 40, 60));
  ground.setColorAt(1, QColor(28, 86, 116));
  p.fillRect(image.rect(), ground);
  QRadialGradient glow(QPointF(167.5, 128), 150);
  glow.setColorAt(0, QColor(90, 160, 190, 120));
  glow.setColorAt(1, QColor(90, 160, 190, 0));
  p.fillRect(image.rect(), glow);

  HeadSection(p, QPointF(167.5, 128), 84, 104);
  // The plane of the section, seen edge-on beside the head.
  p.setPen(QPen(QColor(120, 220, 140), 2.0, Qt::DashLine, Qt::RoundCap));
  p.drawLine(QPointF(28, 128), QPointF(68, 128));
  p.drawLine(QPointF(267, 128), QPointF(307, 128));

  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255));
  p.drawPath(lettering.Centred(QStringLiteral("Ostrelin"), 46, QPointF(167.5, 270)));
  p.setBrush(QColor(176, 214, 230));
  p.drawPath(
      lettering.Centred(QStringLiteral("Atlas der Schnittanatomie"), 16, QPointF(167.5, 304)));
  p.end();
  return ToIndexed(image);
}

QImage QuickOverview(const Lettering& lettering) {
  QImage image = Canvas(335, 335, QColor(246, 247, 249));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const auto text = [&](const QString& s, qreal size, QPointF centre, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(lettering.Centred(s, size, centre));
  };
  const auto leftText = [&](const QString& s, qreal size, QPointF baseline, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(lettering.Path(s, size).translated(baseline));
  };
  text(QString::fromUtf8("Schnellübersicht"), 19, QPointF(167.5, 18), palette::kAccentDark);

  // The main window on a 1024 x 768 screen at 0.29: image window, text panel below it, the
  // navigation panel at the right and the six buttons under it.
  const qreal s = 0.29, left = 19, top = 34;
  const auto box = [&](qreal x, qreal y, qreal w, qreal h) {
    return QRectF(left + x * s, top + y * s, w * s, h * s);
  };
  const QRectF frame = box(0, 0, 1024, 768), imageWindow = box(0, 0, 819, 548),
               textPanel = box(0, 548, 819, 220), navigation = box(819, 0, 205, 548);
  p.setPen(QPen(palette::kBorder, 1.0));
  p.setBrush(QColor(197, 197, 197));
  p.drawRect(frame);
  p.setBrush(QColor(24, 30, 38));
  p.drawRect(imageWindow);
  p.save();
  p.setClipRect(imageWindow);
  HeadSection(p, imageWindow.center() + QPointF(0, 4), 46, 58);
  p.setPen(QPen(QColor(255, 220, 60), 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(imageWindow.center() + QPointF(-15, -16), 7, 6);  // a highlighted structure
  p.restore();
  p.setPen(QPen(palette::kBorder, 1.0));
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(textPanel);
  p.setPen(QPen(QColor(170, 176, 184), 2.0));
  for (int i = 0; i < 4; ++i) {
    const qreal y = textPanel.top() + 12 + i * 12;
    p.drawLine(QPointF(textPanel.left() + 10, y),
               QPointF(textPanel.right() - (i == 3 ? 120 : 30), y));
  }
  p.setPen(QPen(palette::kAccent, 2.0));
  p.drawLine(QPointF(textPanel.left() + 60, textPanel.top() + 24),
             QPointF(textPanel.left() + 110, textPanel.top() + 24));  // a link
  p.setPen(QPen(palette::kBorder, 1.0));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(navigation);
  // A tiny figure with its plane lines on the navigation panel.
  QPainterPath figure;
  figure.setFillRule(Qt::WindingFill);
  const QPointF n = navigation.center() - QPointF(0, 14);
  figure.addEllipse(n + QPointF(0, -44), 6, 7);
  figure = figure.united(MirroredOutline({{4, -37}, {13, -33}, {12, -12}, {10, 4}, {0, 6}}, n.x())
                             .translated(0, n.y()));
  figure = figure.united(Limb({n + QPointF(-6, 4), n + QPointF(-7, 40)}, {5, 3}));
  figure = figure.united(Limb({n + QPointF(6, 4), n + QPointF(7, 40)}, {5, 3}));
  p.setPen(QPen(palette::kOutline, 1.0));
  p.setBrush(palette::kSkin);
  p.drawPath(figure.simplified());
  for (int i = 0; i < 5; ++i) {
    p.setPen(QPen(i == 2 ? QColor(0, 0, 255) : QColor(0, 0, 0), 1.0,
                  i == 2 ? Qt::SolidLine : Qt::DotLine));
    const qreal y = n.y() - 40 + i * 18;
    p.drawLine(QPointF(navigation.left() + 4, y), QPointF(navigation.right() - 4, y));
  }
  const QRectF buttons = box(819, 548, 205, 220);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 2; ++column) {
      const QRectF b(buttons.left() + column * buttons.width() / 2 + 1.5,
                     buttons.top() + row * buttons.height() / 3 + 1.5, buttons.width() / 2 - 3,
                     buttons.height() / 3 - 3);
      p.setPen(QPen(palette::kBorder, 1.0));
      p.setBrush(palette::kFaceTop);
      p.drawRoundedRect(b, 2.5, 2.5);
      p.setPen(QPen(palette::kAccent, 1.6));
      p.drawLine(QPointF(b.center().x() - 6, b.center().y()),
                 QPointF(b.center().x() + 6, b.center().y()));
    }
  }

  // Numbered marks on the sketch and their legend.
  struct Mark {
    QPointF at;
    QString label;
  };
  const Mark marks[] = {
      {imageWindow.topLeft() + QPointF(12, 12),
       QString::fromUtf8("Bildfenster: Strukturen zeigen und benennen")},
      {textPanel.topLeft() + QPointF(12, 40), QString::fromUtf8("Text zur Seite, mit Verweisen")},
      {navigation.topLeft() + QPointF(12, 12), QString::fromUtf8("Region und Ebene wählen, Index")},
      {buttons.topLeft() + QPointF(-10, 10),
       QString::fromUtf8("Schnitt, CT, MR, Schema, Bild/Index, Hilfe")},
  };
  for (int i = 0; i < 4; ++i) {
    const QString number = QString::number(i + 1);
    const auto badge = [&](QPointF at) {
      p.setPen(QPen(QColor(255, 255, 255), 1.2));
      p.setBrush(palette::kAccent);
      p.drawEllipse(at, 7.5, 7.5);
      text(number, 10, at, QColor(255, 255, 255));
    };
    badge(marks[i].at);
    const qreal y = frame.bottom() + 20 + i * 17;
    badge(QPointF(left + 8, y));
    leftText(marks[i].label, 12.5, QPointF(left + 22, y + 4.5), palette::kInk);
  }
  p.end();
  return ToIndexed(image);
}

// The mark of the atlas: a head section in a ring.
void Mark(QPainter& p, QPointF centre, qreal radius) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255));
  p.drawEllipse(centre, radius, radius);
  HeadSection(p, centre, radius * 0.72, radius * 0.86);
}

QImage Logo(const Lettering& lettering, bool pressed) {
  QImage image = Canvas(146, 46);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(image.rect(), QColor(212, 208, 200));  // the dialog's ground around the corners
  QLinearGradient face(0, 0, 0, 46);
  face.setColorAt(0, pressed ? palette::kAccentDark : palette::kAccent.lighter(115));
  face.setColorAt(1, pressed ? palette::kAccent : palette::kAccentDark);
  p.setPen(QPen(palette::kAccentDark.darker(130), 1.0));
  p.setBrush(face);
  p.drawRoundedRect(QRectF(0.5, 0.5, 145, 45), 8, 8);
  const QPointF shift = pressed ? QPointF(1, 1) : QPointF(0, 0);
  Mark(p, QPointF(24, 23) + shift, 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255));
  p.drawPath(lettering.Centred(QStringLiteral("Ostrelin"), 23, QPointF(92, 23) + shift));
  p.end();
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

void PaintProgramIcon(QPainter& p) {
  QLinearGradient face(0, 0, 0, 64);
  face.setColorAt(0, palette::kAccent.lighter(120));
  face.setColorAt(1, palette::kAccentDark);
  p.setPen(Qt::NoPen);
  p.setBrush(face);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 13, 13);
  Mark(p, QPointF(32, 32), 24);
}

QImage ProgramIcon(int size) {
  QImage image = Canvas(size, size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  PaintProgramIcon(p);
  p.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

// The icon of the installed web app, drawn to the edges (the system cuts its own shape): the
// mark within the middle circle of 80 % that every cut keeps ("maskable"), or as large as the
// program icon's for the home screens that only round the corners.
QImage FullBleedIcon(int size, qreal markRadius) {
  QImage image = Canvas(size, size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  QLinearGradient face(0, 0, 0, 64);
  face.setColorAt(0, palette::kAccent.lighter(120));
  face.setColorAt(1, palette::kAccentDark);
  p.fillRect(QRectF(0, 0, 64, 64), face);
  Mark(p, QPointF(32, 32), markRadius);
  p.end();
  return image.convertToFormat(QImage::Format_RGB32);
}

namespace {

// Cursors: black strokes on a white halo, so they show on dark sections and light text alike.
void Halo(QPainter& p, const QPainterPath& path, qreal width) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 255, 255), width + 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.drawPath(path);
  p.setPen(QPen(QColor(0, 0, 0), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.drawPath(path);
}

// The crosshair around pixel (15, 15), the hot spot of both structure cursors.
void Crosshair(QPainter& p) {
  QPainterPath lines;
  const qreal c = 15.5;
  lines.moveTo(c, 2.5), lines.lineTo(c, 10.5);
  lines.moveTo(c, 20.5), lines.lineTo(c, 28.5);
  lines.moveTo(2.5, c), lines.lineTo(10.5, c);
  lines.moveTo(20.5, c), lines.lineTo(28.5, c);
  Halo(p, lines, 1.0);
  p.setPen(QPen(QColor(255, 255, 255), 1.0));
  p.setBrush(palette::kAccent);
  p.drawEllipse(QPointF(c, c), 2.5, 2.5);
}

QImage Cursor(int id) {
  QImage image = Canvas(32, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  if (id == 4024) {
    Crosshair(p);
  } else if (id == 4025) {
    Crosshair(p);
    // Two overlapping sheets: more than one structure lies here.
    for (const qreal offset : {0.0, 4.0}) {
      const QRectF sheet(20.5 + offset, 19.5 + offset, 7, 7);
      p.setPen(QPen(QColor(0, 0, 0), 1.0));
      p.setBrush(offset == 0 ? QColor(255, 255, 255) : QColor(255, 214, 80));
      p.drawRect(sheet);
    }
  } else {  // 4026: a hand pointing with the index finger, its tip at (10, 2)
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    hand = hand.united(Limb({{10.5, 4.8}, {10.5, 15}}, {2.6, 2.6}));
    for (const QPointF knuckle : {QPointF(14.5, 15.5), QPointF(18.2, 16.3), QPointF(21.6, 17.5)}) {
      hand = hand.united(Limb({knuckle, knuckle + QPointF(0, 2)}, {2.2, 2.2}));
    }
    QPainterPath palm;
    palm.addRoundedRect(QRectF(8, 14.5, 16, 13), 4, 4);
    hand = hand.united(palm);
    hand = hand.united(Limb({{4.5, 17.5}, {8.5, 23}}, {2.2, 2.6}));
    p.setPen(QPen(QColor(0, 0, 0), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(hand.simplified());
    p.setPen(QPen(QColor(90, 90, 90), 0.8));
    p.drawLine(QPointF(12.9, 16), QPointF(12.9, 19));
    p.drawLine(QPointF(16.4, 16.5), QPointF(16.4, 19.5));
    p.drawLine(QPointF(19.9, 17.5), QPointF(19.9, 20.5));
  }
  p.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

std::vector<Artwork> DrawPictures(const Lettering& lettering) {
  const QString bitmaps = QStringLiteral("bitmaps");
  return {
      {bitmaps, QStringLiteral("INFOBMP"), Information(lettering)},
      {bitmaps, QStringLiteral("HELPBMP"), QuickOverview(lettering)},
      {bitmaps, QStringLiteral("KV_LOGO"), Logo(lettering, false)},
      {bitmaps, QStringLiteral("KV_LOGOD"), Logo(lettering, true)},
      {QStringLiteral("icons"), QStringLiteral("102"), ProgramIcon(64)},
      // The web app's icons in the sizes browsers ask for.
      {QStringLiteral("icons"), QStringLiteral("WEB_192"), ProgramIcon(192)},
      {QStringLiteral("icons"), QStringLiteral("WEB_512"), ProgramIcon(512)},
      {QStringLiteral("icons"), QStringLiteral("WEB_MASKABLE"), FullBleedIcon(512, 21)},
      {QStringLiteral("icons"), QStringLiteral("WEB_APPLE"), FullBleedIcon(180, 24)},
  };
}

std::vector<Artwork> DrawCursors() {
  const QString bitmaps = QStringLiteral("bitmaps");
  return {
      {bitmaps, QStringLiteral("CURSOR4024"), Cursor(4024)},
      {bitmaps, QStringLiteral("CURSOR4025"), Cursor(4025)},
      {bitmaps, QStringLiteral("CURSOR4026"), Cursor(4026)},
  };
}

}  // namespace ostrelin::art
