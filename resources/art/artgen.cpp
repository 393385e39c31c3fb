// artgen: draws the atlas's artwork into PNG files at build time.
//
//   artgen <font.ttf> <output folder>           writes <folder>/bitmaps/*.png and icons/*.png
//   artgen <font.ttf> --sheet <file.png>        writes a contact sheet of the whole set
//
// The output is the same, byte for byte, at every run: the drawings are vectors, the text comes
// from the outlines of the font file given, and the PNG writer is given no time stamps.
#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
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

}  // namespace

int main(int argc, char** argv) {
  // No display is needed: the fonts come from a file and the pictures are drawn into memory.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  const bool sheet = args.size() == 4 && args[2] == QStringLiteral("--sheet");
  if (args.size() != 3 && !sheet) {
    std::fprintf(stderr, "usage: artgen <font.ttf> <output folder>\n"
                         "       artgen <font.ttf> --sheet <file.png>\n");
    return 2;
  }
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
