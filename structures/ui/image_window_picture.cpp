// The picture of the image window to save or copy: the image at the current zoom with the
// highlight drawn and a band naming the highlighted structures.
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>

#include "image/core/zoomed_picture.h"
#include "platform/ui/qt_rect.h"
#include "platform/ui/qt_text.h"
#include "structures/core/image_access.h"
#include "resources/core/ui_texts.h"
#include "structures/ui/image_window.h"

namespace ostrelin {
namespace t = image_window_text;
namespace {

// The band that names the highlighted structure in a saved or copied picture.
constexpr QRgb kNameBandColour = 0xFFF4F4F0;

}  // namespace

QImage ImageWindow::Picture() {
  if (!image_) return {};
  ZoomedPicture picture(image_->Source(), image_->Zoom());
  if (picture.Empty()) return {};
  std::vector<std::string> drawn;
  if (objects_) {
    drawn = highlight_.Draw(*objects_, [&](const std::string& name) {
      return objects_->DrawByName(name, highlight_.DisplayMode(), picture);
    });
  }
  QImage result = QImage(picture.Top(), picture.Width(), picture.Height(),
                         qsizetype(picture.Stride()), QImage::Format_BGR888)
                      .convertToFormat(QImage::Format_RGB32);
  const std::string caption = NameBandText(drawn, highlight_.ShowsAll(), !NamesShown());
  if (caption.empty()) return result;
  QPainter painter(&result);
  const QFont font = ListFont(16);
  painter.setFont(font);
  const NameBand band =
      LayOutNameBand(result.width(), result.height(), QFontMetrics(font).height());
  if (band.band.Empty()) return result;
  painter.fillRect(ToQRect(band.band), QColor(kNameBandColour));
  painter.setPen(Qt::black);
  const QRect text = ToQRect(band.text);
  painter.drawText(text, Qt::AlignCenter | Qt::TextSingleLine,
                   QFontMetrics(font).elidedText(ToQString(caption), Qt::ElideRight, text.width()));
  return result;
}

void ImageWindow::SavePicture() {
  if (!image_) return;
  const QString suggested = ToQString(PictureFileNameFor(pageName_));
  const QString chosen = chooseFile_
                             ? chooseFile_(suggested)
                             : QFileDialog::getSaveFileName(this, ToQString(t::kSavePicture),
                                                            QDir::home().filePath(suggested),
                                                            ToQString(t::kPictureFilter));
  if (chosen.isEmpty()) return;
  const std::string file = WithPictureExtension(chosen.toStdString());
  const QString path = QString::fromStdString(file);
  const char* format = PictureFormatOf(file) == PictureFormat::Jpeg ? "JPEG" : "PNG";
  const QImage picture = Picture();
  QImageWriter writer(path, format);
  if (picture.isNull() || !writer.write(picture)) {
    messages_.Show(std::string(t::kCannotWrite) + FromQString(path), MessageButtons::Ok,
                   MessageIcon::Exclamation);
  }
}

void ImageWindow::CopyPicture() {
  const QImage picture = Picture();
  if (!picture.isNull()) QGuiApplication::clipboard()->setImage(picture);
}

}  // namespace ostrelin
