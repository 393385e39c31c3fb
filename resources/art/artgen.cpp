// artgen: draws the atlas's artwork into PNG files at build time.
//
//   artgen <font.ttf> <output folder>           writes <folder>/bitmaps/*.png and icons/*.png
//   artgen <font.ttf> --sheet <file.png>        writes a contact sheet of the whole set
//   artgen <font.ttf> --desktop <folder> <name>  writes the program icon for the desktop as the
//                                                hicolor theme holds it: <folder>/<N>x<N>/apps/
//                                                <name>.png for N = 16 ... 256,
//                                                scalable/apps/<name>.svg
//
// The output is the same, byte for byte, at every run: the drawings are vectors, the text comes
// from the outlines of the font file given, and the PNG writer is given no time stamps.
#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSvgGenerator>
#include <cstdio>

#include "resources/art/artwork.h"

namespace {

bool Write(const QImage& image, const QString& path) {
  QImageWriter writer(path, "png");
  writer.setCompression(9);
  if (writer.write(image)) return true;
  std::fprintf(stderr, "artgen: cannot write %s: %s\n", qPrintable(path),
               qPrintable(writer.errorString()));
  return false;
}

// The program icon in the sizes of the hicolor icon theme and as a vector drawing.
int WriteDesktopIcons(const QDir& out, const QString& name) {
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString folder = QStringLiteral("%1x%1/apps").arg(size);
    if (!out.mkpath(folder) ||
        !Write(ostrelin::art::ProgramIcon(size), out.filePath(folder + '/' + name + ".png"))) {
      return 1;
    }
  }
  if (!out.mkpath(QStringLiteral("scalable/apps"))) return 1;
  QSvgGenerator svg;
  svg.setFileName(out.filePath(QStringLiteral("scalable/apps/") + name + ".svg"));
  svg.setSize(QSize(64, 64));
  svg.setViewBox(QRect(0, 0, 64, 64));
  svg.setTitle(QStringLiteral("Ostrelin"));
  QPainter p;
  if (!p.begin(&svg)) {
    std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(svg.fileName()));
    return 1;
  }
  ostrelin::art::PaintProgramIcon(p);
  return p.end() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // No display is needed: the fonts come from a file and the pictures are drawn into memory.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  const bool sheet = args.size() == 4 && args[2] == QStringLiteral("--sheet");
  const bool desktop = args.size() == 5 && args[2] == QStringLiteral("--desktop");
  if (args.size() != 3 && !sheet && !desktop) {
    std::fprintf(stderr,
                 "usage: artgen <font.ttf> <output folder>\n"
                 "       artgen <font.ttf> --sheet <file.png>\n"
                 "       artgen <font.ttf> --desktop <folder> <icon name>\n");
    return 2;
  }
  if (desktop) return WriteDesktopIcons(QDir(args[3]), args[4]);
  const QRawFont font(args[1], 16);
  if (!font.isValid()) {
    std::fprintf(stderr, "artgen: cannot read the font %s\n", qPrintable(args[1]));
    return 1;
  }
  const ostrelin::art::Lettering lettering(font);

  std::vector<ostrelin::art::Artwork> all = ostrelin::art::DrawPictograms();
  for (auto&& group : {ostrelin::art::DrawButtons(lettering),
                       ostrelin::art::DrawPictures(lettering), ostrelin::art::DrawCursors()}) {
    all.insert(all.end(), group.begin(), group.end());
  }

  if (sheet) return Write(ostrelin::art::ContactSheet(all, lettering), args[3]) ? 0 : 1;

  const QDir out(args[2]);
  for (const auto& artwork : all) {
    if (!out.mkpath(artwork.folder)) {
      std::fprintf(stderr, "artgen: cannot create %s\n", qPrintable(out.filePath(artwork.folder)));
      return 1;
    }
    if (!Write(artwork.image, out.filePath(artwork.folder + '/' + artwork.name + ".png"))) return 1;
  }
  return 0;
}
