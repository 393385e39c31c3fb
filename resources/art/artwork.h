#pragma once
// The atlas's artwork, drawn from vector descriptions by the generator `artgen` at build time.
//
// Everything shares one flat style: the palette and the pens below, faces with a soft vertical
// shade, symbols in one accent colour. Text is set from the outlines of one font file, so the
// pixels never depend on the fonts a machine has installed and every build writes the same bytes.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QString>
#include <vector>

namespace ostrelin::art {

// One finished picture: `folder` is the resource folder ("bitmaps", "icons"), `name` the file name
// without ".png" (upper case for bitmaps, as the bitmap store looks them up).
struct Artwork {
  QString folder;
  QString name;
  QImage image;
};

namespace palette {
inline const QColor kGround(200, 200, 200);  // pictogram ground: neutral grey
inline const QColor kSkin(252, 240, 228);
inline const QColor kSkinShade(240, 222, 206);
inline const QColor kOutline(118, 92, 80);
inline const QColor kDetail(204, 170, 152);
inline const QColor kAccent(30, 104, 138);
inline const QColor kAccentDark(18, 66, 92);
inline const QColor kFemale(184, 58, 98);
inline const QColor kInk(44, 52, 60);
inline const QColor kFaceTop(246, 248, 250);
inline const QColor kFaceBottom(216, 222, 228);
inline const QColor kFacePressedTop(196, 204, 212);
inline const QColor kFacePressedBottom(218, 224, 230);
inline const QColor kFaceDisabled(224, 224, 224);
inline const QColor kBorder(112, 122, 132);
inline const QColor kGreyed(164, 166, 168);
}  // namespace palette

// Outlines of text in the one font the artwork uses.
class Lettering {
 public:
  explicit Lettering(const QRawFont& font) : font_(font) {}
  // The outline of `text` at `pixelSize`, its baseline starting at (0, 0).
  QPainterPath Path(const QString& text, qreal pixelSize) const;
  // The same outline centred on `centre` (by its bounding box).
  QPainterPath Centred(const QString& text, qreal pixelSize, QPointF centre) const;

 private:
  QRawFont font_;
};

// How a button face is shown.
enum class FaceState { kUp, kDown, kDisabled };

// A rounded, softly shaded button face filling `image`; returns the offset (0 or 1 pixel) by which
// a pressed face moves its symbol.
QPointF PaintFace(QImage& image, FaceState state, qreal radius);
// The symbol colour for a face state (accent, darker when pressed, grey when disabled).
QColor SymbolColour(FaceState state, const QColor& accent = palette::kAccent);

// A round-ended limb through `points` whose half-widths are `radii` (one per point).
QPainterPath Limb(const std::vector<QPointF>& points, const std::vector<qreal>& radii);
// A closed smooth outline through `points` (Catmull-Rom curve turned into cubic Béziers).
QPainterPath SmoothClosed(const std::vector<QPointF>& points);
// The same as an open curve.
QPainterPath SmoothOpen(const std::vector<QPointF>& points);
// A closed outline symmetric about x = `axis`: `half` runs down one side (x offsets from the axis
// and y), the other side is its mirror.
QPainterPath MirroredOutline(const std::vector<QPointF>& half, qreal axis);

// A transparent ARGB canvas of the given size.
QImage Canvas(int width, int height, const QColor& fill = Qt::transparent);

// The picture in 256 colours: its own colours when there are no more, otherwise the most common
// colour of each of the 256 fullest 5-bit colour cells, every pixel mapped to the nearest one.
QImage ToIndexed(const QImage& image);

// The program icon, drawn on 64 x 64 units of `painter` (a picture or a vector file).
void PaintProgramIcon(QPainter& painter);
// The program icon as a picture of `size` x `size` pixels.
QImage ProgramIcon(int size);
// The program icon filling a square of `size` pixels to its edges, the mark of `markRadius` (in
// 64ths) in the middle: for web app icons that the system cuts to its own shape.
QImage FullBleedIcon(int size, qreal markRadius);

// The drawings, by group.
std::vector<Artwork> DrawPictograms();
std::vector<Artwork> DrawButtons(const Lettering& lettering);
std::vector<Artwork> DrawPictures(const Lettering& lettering);
std::vector<Artwork> DrawCursors();

// A contact sheet of every picture, labelled with its name.
QImage ContactSheet(const std::vector<Artwork>& artworks, const Lettering& lettering);

}  // namespace ostrelin::art
