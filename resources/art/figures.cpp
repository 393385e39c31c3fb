// The body pictograms: 192 x 355, a light figure on a grey ground, 256 colours.
//
// Levels are given in percent of the height from the top edge, as the plane lists place their
// lines (row = percent x (H - 2) / 100), so each anatomical landmark sits where the planes of the
// atlas expect it.
#include <QLinearGradient>
#include <QPainter>

#include "resources/art/artwork.h"

namespace ostrelin::art {
namespace {

constexpr int kWidth = 192;
constexpr int kHeight = 355;
constexpr qreal kAxis = kWidth / 2.0;

// The row of a level given in percent of the height.
constexpr qreal Level(qreal percent) { return percent * (kHeight - 2) / 100.0; }

// The same limb on both sides of the axis; `points` are on the viewer's left.
QPainterPath Both(const QPainterPath& left) {
  QTransform mirror;
  mirror.translate(2 * kAxis, 0);
  mirror.scale(-1, 1);
  return left.united(mirror.map(left));
}

class Figure {
 public:
  Figure() : image_(Canvas(kWidth, kHeight, palette::kGround)), p_(&image_) {
    p_.setRenderHint(QPainter::Antialiasing);
  }

  // The silhouette: filled with a soft left-to-right shade and outlined.
  void Body(const QPainterPath& body) {
    const QPainterPath clean = body.simplified();
    const QRectF box = clean.boundingRect();
    QLinearGradient shade(box.topLeft(), box.topRight());
    shade.setColorAt(0.0, palette::kSkin);
    shade.setColorAt(0.55, palette::kSkin);
    shade.setColorAt(1.0, palette::kSkinShade);
    p_.setPen(QPen(palette::kOutline, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p_.setBrush(shade);
    p_.drawPath(clean);
    body_ = clean;
  }

  // Inner lines (creases, muscle borders), kept inside the silhouette.
  void Detail(const QPainterPath& line, qreal width = 1.0) {
    p_.save();
    p_.setClipPath(body_);
    p_.setPen(QPen(palette::kDetail, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p_.setBrush(Qt::NoBrush);
    p_.drawPath(line);
    p_.restore();
  }
  void Detail(const std::vector<QPointF>& points, qreal width = 1.0) {
    Detail(SmoothOpen(points), width);
  }
  void MirroredDetail(const std::vector<QPointF>& points, qreal width = 1.0) {
    std::vector<QPointF> other;
    for (const QPointF& point : points) other.emplace_back(2 * kAxis - point.x(), point.y());
    Detail(points, width);
    Detail(other, width);
  }

  // A small filled mark (navel, nipple, pupil).
  void Dot(QPointF centre, qreal rx, qreal ry, const QColor& colour = palette::kDetail) {
    p_.setPen(Qt::NoPen);
    p_.setBrush(colour);
    p_.drawEllipse(centre, rx, ry);
  }

  QImage Finish() {
    p_.end();
    return ToIndexed(image_);
  }

 private:
  QImage image_;
  QPainter p_;
  QPainterPath body_;
};

QImage WholeBody() {
  Figure f;
  QPainterPath body;
  body.setFillRule(Qt::WindingFill);
  // Head: vertex at 3 %, chin at 13 %; ears at eye level.
  const qreal headTop = Level(3), chin = Level(13);
  body.addEllipse(QPointF(kAxis, (headTop + chin) / 2), 13.0, (chin - headTop) / 2);
  body = body.united(Both(Limb({{kAxis - 12.5, Level(7.6)}}, {3.0})));
  body = body.united(Limb({{kAxis, chin - 6}, {kAxis, Level(18)}}, {7.5, 8.0}));
  // Trunk from the neck down to the crotch below the pubis (51 %).
  body = body.united(MirroredOutline({{8, Level(16.6)},
                                      {24, Level(17.5)},
                                      {35, Level(19)},
                                      {33, Level(24)},
                                      {29, Level(31)},
                                      {25, Level(38)},
                                      {27, Level(45)},
                                      {30, Level(50)},
                                      {26, Level(54)},
                                      {8, Level(53.5)},
                                      {0.5, Level(52)}},
                                     kAxis));
  // Arms slightly away from the sides; fingertips at 57 %.
  body = body.united(Both(Limb({{kAxis - 34, Level(20)},
                                {kAxis - 40, Level(28)},
                                {kAxis - 45, Level(37)},
                                {kAxis - 51, Level(50)},
                                {kAxis - 54, Level(53.5)},
                                {kAxis - 55.5, Level(55.6)}},
                               {8.0, 7.0, 5.8, 4.2, 5.0, 4.0})));
  // Legs: hip joints at 51 %, knee 72 %, ankle 94 %, soles at 98 %.
  body = body.united(Both(Limb({{kAxis - 15, Level(50)},
                                {kAxis - 15, Level(62)},
                                {kAxis - 14, Level(72)},
                                {kAxis - 14.5, Level(79)},
                                {kAxis - 13, Level(88)},
                                {kAxis - 12.5, Level(94)},
                                {kAxis - 13, Level(96.5)}},
                               {14.0, 11.5, 8.0, 9.0, 6.5, 4.6, 5.0})));
  body =
      body.united(Both(Limb({{kAxis - 13, Level(96.5)}, {kAxis - 19, Level(96.6)}}, {5.0, 3.8})));
  f.Body(body);

  // Clavicles, chest, costal arch, navel, groin creases, knees.
  f.MirroredDetail(
      {{kAxis - 6, Level(18.6)}, {kAxis - 18, Level(18.2)}, {kAxis - 30, Level(19.4)}});
  f.MirroredDetail({{kAxis - 2, Level(29)}, {kAxis - 14, Level(29.6)}, {kAxis - 27, Level(27.5)}});
  f.Dot({kAxis - 15, Level(27)}, 1.4, 1.4);
  f.Dot({kAxis + 15, Level(27)}, 1.4, 1.4);
  f.MirroredDetail({{kAxis, Level(33)}, {kAxis - 10, Level(35.5)}, {kAxis - 21, Level(38)}});
  f.Dot({kAxis, Level(42)}, 1.3, 1.8);
  f.MirroredDetail({{kAxis - 26, Level(46)}, {kAxis - 14, Level(49.5)}, {kAxis - 3, Level(52)}});
  f.Detail({{kAxis, Level(52)}, {kAxis, Level(55)}});
  for (const qreal side : {-1.0, 1.0}) {
    QPainterPath patella;
    patella.addEllipse(QPointF(kAxis + side * 14, Level(71.2)), 4.0, 4.5);
    f.Detail(patella);
  }
  return f.Finish();
}

QImage HeadAndNeck() {
  Figure f;
  QPainterPath body;
  body.setFillRule(Qt::WindingFill);
  // Neck and shoulders: the neck meets the shoulders at 92 %.
  body = body.united(MirroredOutline({{33, Level(52)},
                                      {32, Level(70)},
                                      {34, Level(84)},
                                      {46, Level(90)},
                                      {80, Level(93.5)},
                                      {104, Level(96)},
                                      {104, Level(104)},
                                      {0, Level(104)}},
                                     kAxis));
  // Skull and face: vertex 5 %, chin 60 %.
  body = body.united(MirroredOutline({{0, Level(5)},
                                      {38, Level(8.5)},
                                      {60, Level(20)},
                                      {65, Level(33)},
                                      {62, Level(45)},
                                      {54, Level(52)},
                                      {34, Level(58)},
                                      {0, Level(60)}},
                                     kAxis));
  // Ears around the external ear canal at 38 %.
  body = body.united(Both(Limb({{kAxis - 64, Level(33)}, {kAxis - 66, Level(41)}}, {7.0, 5.5})));
  f.Body(body);

  // Brows, eyes at 33 %, nose tip at 41 %, mouth at 49 %, chin, larynx at 72 %, clavicles.
  f.MirroredDetail({{kAxis - 12, Level(28.5)}, {kAxis - 24, Level(27)}, {kAxis - 38, Level(28.5)}},
                   1.6);
  for (const qreal side : {-1.0, 1.0}) {
    const qreal x = kAxis + side * 24;
    QPainterPath eye;
    eye.moveTo(x - 11, Level(33));
    eye.quadTo(x, Level(30.6), x + 11, Level(33));
    eye.quadTo(x, Level(35.2), x - 11, Level(33));
    f.Detail(eye, 1.2);
    f.Dot({x, Level(33)}, 3.0, 3.0, palette::kOutline.lighter(130));
    // The ear's rim and canal.
    f.Detail({{kAxis + side * 61, Level(31)},
              {kAxis + side * 66, Level(34)},
              {kAxis + side * 64, Level(40)}});
  }
  f.Detail({{kAxis - 3, Level(30)}, {kAxis - 5, Level(36)}, {kAxis - 7, Level(39.5)}});
  f.Detail({{kAxis - 12, Level(39)},
            {kAxis - 6, Level(41)},
            {kAxis, Level(41.3)},
            {kAxis + 6, Level(41)},
            {kAxis + 12, Level(39)}},
           1.3);
  f.Detail({{kAxis - 18, Level(48.6)},
            {kAxis - 8, Level(49.3)},
            {kAxis, Level(49)},
            {kAxis + 8, Level(49.3)},
            {kAxis + 18, Level(48.6)}},
           1.6);
  f.Detail({{kAxis - 12, Level(52)}, {kAxis, Level(53)}, {kAxis + 12, Level(52)}});
  f.Detail({{kAxis - 14, Level(56.6)}, {kAxis, Level(57.6)}, {kAxis + 14, Level(56.6)}});
  f.Detail({{kAxis - 6, Level(70.5)}, {kAxis, Level(72.6)}, {kAxis + 6, Level(70.5)}}, 1.3);
  f.Detail({{kAxis - 4, Level(75)}, {kAxis, Level(76)}, {kAxis + 4, Level(75)}});
  f.MirroredDetail({{kAxis - 30, Level(64)}, {kAxis - 18, Level(82)}, {kAxis - 8, Level(91)}});
  f.MirroredDetail({{kAxis - 10, Level(93)}, {kAxis - 40, Level(92.6)}, {kAxis - 80, Level(94.5)}},
                   1.3);
  return f.Finish();
}

// Trunk from the neck base to the upper thighs; `female` gives narrower shoulders, a narrower
// waist, wider hips and breasts over 24 to 36 %.
QImage Trunk(bool female) {
  Figure f;
  const qreal shoulder = female ? 62 : 70, waist = female ? 46 : 54, hip = female ? 70 : 64;
  QPainterPath body;
  body.setFillRule(Qt::WindingFill);
  body = body.united(MirroredOutline({{21, -4},
                                      {21, Level(5)},
                                      {34, Level(8)},
                                      {shoulder - 8, Level(9.5)},
                                      {shoulder + 2, Level(14)},
                                      {shoulder - 2, Level(24)},
                                      {shoulder - 7, Level(38)},
                                      {waist + 2, Level(50)},
                                      {waist, Level(57)},
                                      {hip - 8, Level(64)},
                                      {hip - 1, Level(72)},
                                      {hip, Level(80)},
                                      {hip - 3, Level(92)},
                                      {hip - 6, 362},
                                      {7, 362},
                                      {3, Level(90)},
                                      {0, Level(86)}},
                                     kAxis));
  // Upper-arm stumps from the shoulder joints at 11 %, cut level.
  QPainterPath arms = Both(
      Limb({{kAxis - shoulder + 2, Level(14)}, {kAxis - shoulder - 6, Level(32)}}, {13.0, 11.0}));
  QPainterPath above;
  above.addRect(0, 0, kWidth, Level(33));
  body = body.united(arms.intersected(above));
  f.Body(body);

  const qreal nipples = Level(28);
  f.MirroredDetail(
      {{kAxis - 6, Level(8.6)}, {kAxis - 22, Level(8.2)}, {kAxis - shoulder + 10, Level(10)}});
  if (female) {
    for (const qreal side : {-1.0, 1.0}) {
      const qreal x = kAxis + side * 31;
      QPainterPath breast;  // the lower and outer curve of the breast, 24 to 36 %
      breast.moveTo(x - side * 20, Level(26));
      breast.cubicTo(x - side * 24, Level(33), x - side * 10, Level(36.3), x + side * 2, Level(36));
      breast.cubicTo(x + side * 16, Level(35.6), x + side * 24, Level(31), x + side * 21,
                     Level(24));
      f.Detail(breast, 1.4);
      f.Dot({x + side * 2, nipples + 1}, 2.2, 2.2);
    }
  } else {
    f.MirroredDetail({{kAxis - 3, Level(31)}, {kAxis - 22, Level(32.2)}, {kAxis - 46, Level(27)}},
                     1.2);
    f.Dot({kAxis - 33, nipples}, 1.8, 1.8);
    f.Dot({kAxis + 33, nipples}, 1.8, 1.8);
  }
  // Xiphoid at 40 %, the costal arch down to the lower ribs at 50 %, navel 60 %, iliac crests 64 %,
  // groin creases from the hip joints (78 %) to the pubis (86 %).
  f.MirroredDetail({{kAxis, Level(38.5)},
                    {kAxis - 1, Level(40)},
                    {kAxis - 20, Level(44)},
                    {kAxis - waist + 6, Level(50)}},
                   1.2);
  f.Detail({{kAxis, Level(42)}, {kAxis, Level(57)}}, 0.8);
  f.Dot({kAxis, Level(60)}, 2.0, 2.6);
  f.MirroredDetail({{kAxis - hip + 8, Level(62)},
                    {kAxis - hip + 12, Level(64.5)},
                    {kAxis - hip + 15, Level(68)}},
                   1.2);
  f.MirroredDetail({{kAxis - hip + 10, Level(70)},
                    {kAxis - 34, Level(78)},
                    {kAxis - 14, Level(84)},
                    {kAxis - 3, Level(86.5)}},
                   1.2);
  f.Detail({{kAxis, Level(86)}, {kAxis, 360}}, 1.2);
  return f.Finish();
}

QImage Arm() {
  Figure f;
  QPainterPath body;
  body.setFillRule(Qt::WindingFill);
  // The shoulder with the acromion at 4 %; the slope to the neck and the armpit fold run out of
  // the picture to the right.
  body = body.united(SmoothClosed({{66, Level(12)},
                                   {76, Level(5.8)},
                                   {96, Level(4)},
                                   {140, Level(1.5)},
                                   {200, Level(-1)},
                                   {200, Level(34)},
                                   {150, Level(26)},
                                   {116, Level(20)}}));
  // Upper arm, elbow at 45 %, forearm, wrist at 82 %.
  body = body.united(Limb({{88, Level(11)},
                           {92, Level(25)},
                           {96, Level(45)},
                           {98, Level(56)},
                           {100, Level(64)},
                           {102, Level(82)}},
                          {25.0, 21.5, 18.0, 20.0, 17.0, 12.5}));
  // Palm, thumb and fingers down to the fingertips at 98 %.
  body = body.united(Limb({{102, Level(84)}, {104, Level(90)}}, {15.0, 16.0}));
  body = body.united(Limb({{89, Level(85)}, {83, Level(91)}, {80, Level(94)}}, {6.0, 5.0, 4.3}));
  struct Finger {
    qreal x, tip;
  };
  const Finger fingers[] = {{93.5, 95.5}, {101.5, 98}, {109.5, 96.6}, {116.5, 93.6}};
  for (const Finger& finger : fingers) {
    body = body.united(
        Limb({{finger.x, Level(90)}, {finger.x + 0.5, Level(finger.tip) - 3.4}}, {4.2, 3.4}));
  }
  f.Body(body);

  f.Detail({{70, Level(12)}, {84, Level(14)}, {100, Level(21)}});          // deltoid border
  f.Detail({{100, Level(22)}, {99, Level(32)}, {99, Level(40)}}, 0.8);     // biceps groove
  f.Detail({{84, Level(45)}, {96, Level(46.3)}, {108, Level(45)}}, 1.2);   // elbow crease
  f.Detail({{92, Level(82)}, {102, Level(82.8)}, {112, Level(82)}}, 1.2);  // wrist crease
  for (int i = 0; i < 3; ++i) {
    const qreal x = (fingers[i].x + fingers[i + 1].x) / 2;
    f.Detail({{x, Level(90.5)}, {x, Level(93)}}, 1.0);
  }
  return f.Finish();
}

QImage Leg() {
  Figure f;
  QPainterPath body;
  body.setFillRule(Qt::WindingFill);
  // Thigh from the groin at 5 %, knee joint at 50 %, calf, ankle at 90 %, sole at 97 %.
  body = body.united(
      SmoothClosed({{46, -6},         {50, Level(12)},    {56, Level(27)},   {66, Level(40)},
                    {72, Level(50)},  {70, Level(58)},    {74, Level(68)},   {84, Level(82)},
                    {88, Level(90)},  {80, Level(93.5)},  {76, Level(96.3)}, {84, Level(97)},
                    {118, Level(97)}, {126, Level(95.6)}, {120, Level(92)},  {112, Level(89.5)},
                    {116, Level(80)}, {126, Level(68)},   {126, Level(58)},  {124, Level(50)},
                    {128, Level(40)}, {136, Level(27)},   {142, Level(12)},  {146, Level(5)},
                    {170, Level(3)},  {172, -6}}));
  f.Body(body);

  // The groin crease ends at the groin (5 %); the patella spans 46 to 52 %.
  f.Detail({{52, -2}, {100, Level(1.8)}, {146, Level(5)}}, 1.4);
  QPainterPath patella;
  patella.addRoundedRect(QRectF(86, Level(46), 24, Level(52) - Level(46)), 10, 10);
  f.Detail(patella, 1.2);
  f.Detail({{74, Level(12)}, {86, Level(30)}, {92, Level(44)}}, 0.8);     // vastus border
  f.Detail({{118, Level(55)}, {114, Level(64)}, {110, Level(76)}}, 0.8);  // calf
  f.Detail({{88, Level(90)}, {94, Level(88)}, {96, Level(86)}}, 0.8);     // malleoli
  f.Detail({{112, Level(90)}, {108, Level(88)}}, 0.8);
  for (const qreal x : {94.0, 102.0, 109.0, 115.0}) {
    f.Detail({{x, Level(95.6)}, {x, Level(97)}}, 1.0);
  }
  return f.Finish();
}

}  // namespace

std::vector<Artwork> DrawPictograms() {
  const QString folder = QStringLiteral("bitmaps");
  return {
      {folder, QStringLiteral("SM_AUSW"), WholeBody()},
      {folder, QStringLiteral("SM_KOPF"), HeadAndNeck()},
      {folder, QStringLiteral("SM_ARM"), Arm()},
      {folder, QStringLiteral("SM_BEIN"), Leg()},
      {folder, QStringLiteral("SM_RUMPF"), Trunk(false)},
      {folder, QStringLiteral("SF_RUMPF"), Trunk(true)},
  };
}

}  // namespace ostrelin::art
