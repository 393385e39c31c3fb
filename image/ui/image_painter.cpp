#include "image/ui/image_painter.h"

#include <QPainter>
#include <QScrollBar>

#include "platform/ui/qt_text.h"

namespace ostrelin {

QImage ZoomedImage(const JpgBild& image) {
  if (!image.HasZoomedBitmap() || image.ZoomedHeight() <= 0) return {};
  // The object keeps the bitmap top-down in memory for exactly this: Qt takes it as it is.
  return QImage(image.ZoomedTop(), image.ZoomedWidth(), image.ZoomedHeight(),
                static_cast<qsizetype>(image.ZoomedStride()), QImage::Format_BGR888);
}

void PaintJpgBild(QPainter& painter, JpgBild& image) {
  const QImage zoomed = ZoomedImage(image);
  if (!zoomed.isNull()) painter.drawImage(QPoint(0, kStripHeight), zoomed);

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
