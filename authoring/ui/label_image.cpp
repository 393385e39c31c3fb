#include "authoring/ui/label_image.h"

#include <QImage>
#include <QImageReader>
#include <QString>

namespace ostrelin {

bool LoadLabelImage(const std::filesystem::path& path, LabelImage& image, std::string& error) {
  QImageReader reader(QString::fromStdString(path.string()));
  QImage source;
  if (!reader.read(&source)) {
    error = "cannot read the image: " + reader.errorString().toStdString();
    return false;
  }
  LabelImage labels;
  labels.width = source.width();
  labels.height = source.height();
  labels.values.reserve(size_t(labels.width) * size_t(labels.height));
  switch (source.format()) {
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
      for (int y = 0; y < labels.height; ++y) {
        for (int x = 0; x < labels.width; ++x) {
          labels.values.push_back(std::uint8_t(source.pixelIndex(x, y)));
        }
      }
      break;
    case QImage::Format_Grayscale8:
      for (int y = 0; y < labels.height; ++y) {
        const uchar* line = source.constScanLine(y);
        labels.values.insert(labels.values.end(), line, line + labels.width);
      }
      break;
    case QImage::Format_Grayscale16:
      error = "16-bit grey image: label images hold 8-bit values";
      return false;
    default:
      // Colour formats are accepted only when every pixel is grey (r = g = b), as some programs
      // save grey images.
      if (!source.hasAlphaChannel() && source.isGrayscale()) {
        for (int y = 0; y < labels.height; ++y) {
          for (int x = 0; x < labels.width; ++x) {
            labels.values.push_back(std::uint8_t(qRed(source.pixel(x, y))));
          }
        }
        break;
      }
      error = "colour image: label images must be 8-bit indexed or grey";
      return false;
  }
  image = std::move(labels);
  return true;
}

}  // namespace ostrelin
