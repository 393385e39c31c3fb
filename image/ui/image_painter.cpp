#include "image/ui/image_painter.h"

#include <QPainter>
#include <QRegion>
#include <QScrollBar>

#include "platform/ui/qt_text.h"

namespace ostrelin {

QImage ZoomedImage(const JpgBild& image) {
  if (!image.HasZoomedBitmap() || image.ZoomedHeight() <= 0) return {};
  // The object keeps the bitmap top-down in memory, in 32-bit pixels 0xFFRRGGBB, for exactly
  // this: Qt takes it as it is and paints it with a plain copy.
  return QImage(image.ZoomedTop(), image.ZoomedWidth(), image.ZoomedHeight(),
                static_cast<qsizetype>(image.ZoomedStride()), QImage::Format_RGB32);
}

void PaintJpgBild(QPainter& painter, JpgBild& image) {
  const QImage zoomed = ZoomedImage(image);
  if (!zoomed.isNull() && image.ZoomedMarginsBlack()) {
    // Only the band with image pixels is copied; the black around it is filled, which writes
    // the same pixels without reading them.
    const ZoomedBand& b = image.ZoomedImageBand();
    const QRect band(b.left, zoomed.height() - b.top, b.right - b.left, b.top - b.bottom);
    QRegion margins(QRect(0, kStripHeight, zoomed.width(), zoomed.height()));
    margins -= band.translated(0, kStripHeight);
    for (const QRect& area : margins) painter.fillRect(area, Qt::black);
    if (!band.isEmpty()) painter.drawImage(band.topLeft() + QPoint(0, kStripHeight), zoomed, band);
  } else if (!zoomed.isNull()) {
    painter.drawImage(QPoint(0, kStripHeight), zoomed);
  }

  const QRect strip(0, 0, image.ZoomedWidth(), kStripHeight);
  painter.fillRect(strip, QColor::fromRgb(kStripGrey));
  painter.save();
  painter.setPen(Qt::black);
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(QColor::fromRgb(kStripGrey));
  painter.drawText(strip, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   ToQString(image.ZoomText()));
  painter.restore();

  image.UpdateScrollBars();
}

void ApplyScrollBars(const ScrollBarState& state, QScrollBar& horizontal, QScrollBar& vertical) {
  horizontal.setRange(0, state.horizontalMax);
  horizontal.setValue(state.horizontalPosition);
  vertical.setRange(0, state.verticalMax);
  vertical.setValue(state.verticalPosition);
  horizontal.setVisible(state.shown);
  vertical.setVisible(state.shown);
}

}  // namespace ostrelin
